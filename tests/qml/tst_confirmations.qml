import QtQuick
import "helpers.js" as H

// What cannot be undone asks first, naming what it acts on; cancelling changes nothing.
PageCase {
    id: tc
    name: "Confirmations"

    function init() {
    }

    function test_cancelChangesNothing_data() {
        return [
            { tag: "delete a property", page: "PropertiesPage", list: "properties",
              button: "removePropertyButton", names: r => r.name,
              count: "SELECT COUNT(*) as c FROM properties" },
            { tag: "delete a tenant", page: "TenantsPage", list: "tenants",
              button: "removeTenantButton", names: r => r.full_name,
              count: "SELECT COUNT(*) as c FROM tenants" },
            { tag: "clear a cheque", page: "ChequesPage", list: "cheques",
              pick: r => r.status === "pending", button: "cashChequeButton",
              names: r => r.cheque_number,
              count: "SELECT COUNT(*) as c FROM cheques WHERE status='pending'" },
            { tag: "bounce a cheque", page: "ChequesPage", list: "cheques",
              pick: r => r.status === "pending", button: "bounceChequeButton",
              names: r => r.cheque_number,
              count: "SELECT COUNT(*) as c FROM cheques WHERE status='pending'" }
        ]
    }

    function test_cancelChangesNothing(data) {
        source = data.page
        load()
        var rows = page[data.list]
        var index = data.pick ? H.indexWhere(rows, data.pick) : 0
        verify(index >= 0)
        if (data.page === "PropertiesPage")
            H.find(tc, page, "propertyGrid").positionViewAtIndex(index, 0)
        var before = H.scalar(database, data.count)
        H.click(tc, H.find(tc, page, data.button + index))
        var said = H.answer(tc, page, false)
        verify(said.indexOf(String(data.names(H.at(rows, index)))) >= 0, said)
        compare(H.scalar(database, data.count), before)
    }

    // The cheque acted on is the one in the row, whichever tab and order shows it.
    function test_chequeTabActsOnTheRowShown() {
        source = "ChequesPage"
        load()
        page.tab = 3
        page.loadTab()
        var index = H.row(tc, page, "chequesTableList", page.cheques, r => r.status === "pending")
        // The table lays its rows out once the tab is drawn.
        waitForRendering(page)
        var shown = H.at(page.cheques, index)
        H.press(tc, page, "bounceChequeButton" + index)
        verify(H.answer(tc, page, true).indexOf(String(shown.cheque_number)) >= 0)
        compare(H.scalar(database, "SELECT status FROM cheques WHERE id=?", [shown.id]), "bounced")
    }

    // The administrator changes the primary currency from the settings, after saying yes.
    function test_primaryCurrencyChange() {
        verify(authCtrl.login("admin", "qatmo"))
        source = "SettingsPage"
        load()
        var before = settingsManager.primaryCurrency
        var box = H.find(tc, page, "primaryCurrencyBox")
        var index = H.indexWhere(box.model, c => c.code === "USD")
        H.choose(tc, box, index)
        H.click(tc, H.find(tc, page, "setPrimaryCurrencyButton"))
        H.answer(tc, page, false)
        compare(settingsManager.primaryCurrency, before)
        H.click(tc, H.find(tc, page, "setPrimaryCurrencyButton"))
        H.answer(tc, page, true)
        compare(H.scalar(database, "SELECT code FROM currencies WHERE is_primary=1"), "USD")
        settingsManager.setPrimaryCurrency(before)
    }
}
