import QtQuick
import QtTest
import "helpers.js" as H

// Runs last: the whole application once more, every page and every dialog of the first four
// pages opened, then the run log (the application's own handler, connected to every engine of
// this suite) must hold no "QML Error:" line.
Item {
    id: root
    width: 200
    height: 200

    TestCase {
        id: tc
        name: "RunLog"
        when: windowShown

        function test_noQmlErrorAfterVisitingEverything() {
            var component = Qt.createComponent("qrc:/qml/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            var win = createTemporaryObject(component, root)
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
            var login = findChild(win.contentItem, "loginPage")
            H.click(tc, H.find(tc, login, "loginButton"))
            tryVerify(() => findChild(win.contentItem, "mainApp") !== null)
            tryCompare(H.find(tc, win.contentItem, "rootStack"), "busy", false)
            var app = findChild(win.contentItem, "mainApp")
            for (var i = 0; i < 12; ++i) {
                H.click(tc, H.find(tc, app, "menuItem" + i))
                wait(50)
            }
            var dialogs = ["unitsDialog", "addPropertyDialog", "contractsDialog", "statementDialog",
                           "importDialog", "addTenantDialog", "salesDialog", "installmentsDialog",
                           "buyerChequeDialog", "buyerStatementDialog", "addBuyerDialog",
                           "changePasswordDialog"]
            for (var d = 0; d < dialogs.length; ++d) {
                var dialog = H.find(tc, app, dialogs[d])
                dialog.open()
                H.waitOpen(tc, dialog)
                dialog.close()
                H.waitClosed(tc, dialog)
            }
            H.click(tc, H.find(tc, app, "logoutButton"))
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
            compare(uiTest.runLogErrorCount(), 0)
        }
    }
}
