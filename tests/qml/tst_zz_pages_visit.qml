import QtQuick
import QtTest
import "helpers.js" as H

// The whole application: every tab and every dialog of the accounting, payments, cheques,
// invoices, maintenance, reports, users and settings pages shown once, with no QML warning.
// Runs just before the run-log check.
Item {
    id: root
    width: 200
    height: 200

    TestCase {
        id: tc
        name: "PagesVisit"
        when: windowShown

        function test_everyTabAndDialogOpens() {
            failOnWarning(H.anyWarning)
            var component = Qt.createComponent("qrc:/qml/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            var win = createTemporaryObject(component, root)
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
            var login = findChild(win.contentItem, "loginPage")
            H.type(tc, H.find(tc, login, "usernameField"), "admin")
            H.type(tc, H.find(tc, login, "passwordField"), "qatmo")
            H.click(tc, H.find(tc, login, "loginButton"))
            tryVerify(() => findChild(win.contentItem, "mainApp") !== null)
            tryCompare(H.find(tc, win.contentItem, "rootStack"), "busy", false)
            var app = findChild(win.contentItem, "mainApp")

            var tabs = [{ page: 4, chips: "accountingTab", count: 3 },
                        { page: 6, chips: "chequeTab", count: 4 },
                        { page: 8, chips: "maintenanceFilter", count: 4 },
                        { page: 9, chips: "reportTab", count: 6 }]
            for (var t = 0; t < tabs.length; ++t) {
                H.click(tc, H.find(tc, app, "menuItem" + tabs[t].page))
                for (var c = tabs[t].count - 1; c >= 0; --c) {
                    H.click(tc, H.find(tc, app, tabs[t].chips + c))
                    wait(30)
                }
            }

            var dialogs = [[4, "journalDialog"], [4, "contractorDialog"], [5, "paymentDialog"],
                           [6, "newChequeDialog"], [7, "rentRunDialog"], [7, "customInvoiceDialog"],
                           [7, "serviceInvoiceDialog"], [7, "invoiceResultDialog"],
                           [8, "maintenanceRequestDialog"], [8, "completeMaintenanceDialog"],
                           [10, "addUserDialog"]]
            for (var d = 0; d < dialogs.length; ++d) {
                H.click(tc, H.find(tc, app, "menuItem" + dialogs[d][0]))
                var dialog = H.find(tc, app, dialogs[d][1])
                dialog.open()
                H.waitOpen(tc, dialog)
                dialog.close()
                H.waitClosed(tc, dialog)
            }
            H.click(tc, H.find(tc, app, "menuItem11"))
            H.click(tc, H.find(tc, app, "logoutButton"))
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
        }
    }
}
