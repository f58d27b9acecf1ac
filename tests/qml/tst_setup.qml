import QtQuick
import QtTest
import "helpers.js" as H

PageCase {
    id: tc
    name: "Setup"
    source: "SetupPage"

    SignalSpy {
        id: done
        signalName: "setupComplete"
    }

    function cleanup() {
        settingsManager.setPrimaryCurrency("ILS")
    }

    function test_chosenCurrencyBecomesPrimary() {
        done.target = page
        H.click(tc, H.find(tc, page, "currencyChoiceUSD"))
        H.click(tc, H.find(tc, page, "startButton"))
        compare(done.count, 1)
        compare(settingsManager.primaryCurrency, "USD")
        compare(H.scalar(database, "SELECT code FROM currencies WHERE is_primary=1"), "USD")
        compare(settingsManager.isFirstRun, false)
    }
}
