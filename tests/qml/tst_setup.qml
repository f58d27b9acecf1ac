import QtQuick
import QtTest
import "helpers.js" as H

Item {
    id: root
    width: 1024
    height: 700
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    TestCase {
        id: tc
        name: "Setup"
        when: windowShown

        Component {
            id: setupComponent
            Loader {
                width: 1024
                height: 700
                source: "qrc:/qml/SetupPage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
        }

        function cleanup() {
            settingsManager.setPrimaryCurrency("ILS")
        }

        function test_chosenCurrencyBecomesPrimary() {
            var loader = createTemporaryObject(setupComponent, root)
            tryCompare(loader, "status", Loader.Ready)
            var page = loader.item
            var done = createTemporaryObject(spyComponent, tc, { target: page, signalName: "setupComplete" })
            verify(H.find(tc, page, "currencyChoiceILS").checked)
            H.click(tc, H.find(tc, page, "currencyChoiceUSD"))
            verify(!H.find(tc, page, "currencyChoiceILS").checked)
            H.click(tc, H.find(tc, page, "startButton"))
            compare(done.count, 1)
            compare(settingsManager.primaryCurrency, "USD")
            compare(H.scalar(database, "SELECT code FROM currencies WHERE is_primary=1"), "USD")
            compare(settingsManager.isFirstRun, false)
        }

        Component {
            id: spyComponent
            SignalSpy {}
        }

    }
}
