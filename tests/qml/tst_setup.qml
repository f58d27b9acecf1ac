import QtQuick
import QtTest
import "helpers.js" as H

PageCase {
    id: tc
    name: "Setup"
    source: "SetupPage"

    property var savedRates: []
    property var savedProfile: []

    SignalSpy {
        id: done
        signalName: "setupComplete"
    }

    function init() {
        savedRates = database.execQuery("SELECT from_currency_id, to_currency_id, rate, date FROM exchange_rates")
        savedProfile = [settingsManager.companyName, settingsManager.companyPhone,
                        settingsManager.companyAddress, settingsManager.companyEmail]
        load()
        done.clear()
        done.target = page
    }

    function cleanup() {
        settingsManager.setPrimaryCurrency("ILS")
        settingsManager.updateCompanyProfile(savedProfile[0], savedProfile[1], savedProfile[2],
                                             savedProfile[3])
        database.execNonQuery("DELETE FROM exchange_rates")
        for (var r = 0; r < savedRates.length; ++r)
            database.execNonQuery("INSERT INTO exchange_rates (from_currency_id, to_currency_id, rate, date) VALUES (?,?,?,?)",
                                  [savedRates[r].from_currency_id, savedRates[r].to_currency_id,
                                   savedRates[r].rate, savedRates[r].date])
    }

    function test_answersAreCheckedBeforeAnythingIsStored_data() {
        return [
            { tag: "all answered", name: "Amal Estates", rates: { ILS: "0.27", JOD: "1.41" }, ok: true },
            { tag: "rate in Arabic-Indic digits", name: "Amal Estates",
              rates: { ILS: "٠٫٢٧", JOD: "١٫٤١" }, ok: true },
            { tag: "no company name", name: "", rates: { ILS: "0.27", JOD: "1.41" }, ok: false },
            { tag: "a rate missing", name: "Amal Estates", rates: { ILS: "0.27" }, ok: false },
            { tag: "a zero rate", name: "Amal Estates", rates: { ILS: "0", JOD: "1.41" }, ok: false },
            { tag: "a rate that is not a number", name: "Amal Estates", rates: { ILS: "abc", JOD: "1.41" },
              ok: false }
        ]
    }

    function test_answersAreCheckedBeforeAnythingIsStored(data) {
        var ratesBefore = H.scalar(database, "SELECT COUNT(*) as c FROM exchange_rates")
        H.click(tc, H.find(tc, page, "currencyChoiceUSD"))
        if (data.name !== "")
            H.type(tc, H.find(tc, page, "setupCompanyName"), data.name)
        for (var code in data.rates)
            H.paste(tc, H.find(tc, page, "setupRate" + code), data.rates[code])
        H.click(tc, H.find(tc, page, "startButton"))
        compare(done.count, data.ok ? 1 : 0)
        compare(H.find(tc, page, "setupMessage").visible, !data.ok)
        compare(settingsManager.primaryCurrency, data.ok ? "USD" : "ILS")
        compare(H.scalar(database, "SELECT code FROM currencies WHERE is_primary=1"),
                data.ok ? "USD" : "ILS")
        if (!data.ok) {
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM exchange_rates"), ratesBefore)
            return
        }
        compare(settingsManager.companyName, data.name)
        compare(settingsManager.currenciesWithoutRate().length, 0)
        // Each rate is stored as typed, from its currency to the new primary one.
        var ids = {}
        var currencies = settingsManager.getCurrencies()
        for (var i = 0; i < currencies.length; ++i)
            ids[currencies[i].code] = currencies[i].id
        fuzzyCompare(settingsManager.getExchangeRate(ids.ILS, ids.USD), 0.27, 1e-9)
        fuzzyCompare(settingsManager.getExchangeRate(ids.JOD, ids.USD), 1.41, 1e-9)
        compare(settingsManager.isFirstRun, false)
    }

    // Moving the data to a server is saved for the next start; the rest of the set-up then
    // happens on the server, so it is not asked here.
    function test_choosingAServerLeavesTheRestForTheNextStart() {
        H.click(tc, H.find(tc, page, "dataLocationChoice1"))
        compare(H.find(tc, page, "startButton").visible, false)
        compare(H.find(tc, page, "serverHostField").visible, true)
        H.click(tc, H.find(tc, page, "saveDataLocationButton"))
        compare(H.find(tc, page, "serverSectionStatus").text,
                "أدخل عنوان الخادم واسم قاعدة البيانات واسم المستخدم")
        compare(serverSettings.useServer, false)
        H.type(tc, H.find(tc, page, "serverHostField"), "db.office")
        H.type(tc, H.find(tc, page, "serverDatabaseField"), "books")
        H.type(tc, H.find(tc, page, "serverUserField"), "clerk")
        H.click(tc, H.find(tc, page, "saveDataLocationButton"))
        compare(serverSettings.useServer, true)
        compare(serverSettings.host, "db.office")
        compare(H.find(tc, page, "setupQuitButton").visible, true)
        compare(done.count, 0)
        verify(serverSettings.chooseFile())
    }
}
