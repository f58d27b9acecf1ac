import QtQuick
import QtTest
import "helpers.js" as H

// A viewer reads every page and prints, and is offered no enabled button that changes data.
Item {
    id: root
    width: 200
    height: 200

    SignalSpy {
        id: refusals
        target: authCtrl
        signalName: "operationRefused"
    }

    TestCase {
        id: tc
        name: "PagesViewer"
        when: windowShown

        // Labels that only a writing button carries.
        readonly property var writeWords: ["+", "حفظ", "حذف", "🗑", "إضافة", "جديد", "تسجيل",
            "إصدار", "استيراد", "استعادة", "إنشاء", "تأكيد", "بيع", "صرف", "ارتجاع", "إكمال",
            "تعديل", "إنهاء", "تغيير", "✔"]

        property var win: null

        function initTestCase() {
            authCtrl.registerUser("reader", "pass-word-1", "viewer")
            uiTest.restrictWrites(true)
        }

        function cleanupTestCase() {
            if (authCtrl.isLoggedIn)
                authCtrl.logout()
            uiTest.restrictWrites(false)
            authCtrl.removeUser("reader")
        }

        function cleanup() {
            if (authCtrl.isLoggedIn)
                authCtrl.logout()
        }

        function collect(obj, out, depth) {
            if (!obj || depth > 80)
                return
            // The action buttons (filters and tabs are chips, which change nothing).
            if (obj.needs !== undefined)
                out.push(obj)
            var lists = [obj.data, obj.contentData]
            for (var l = 0; l < lists.length; ++l) {
                if (!lists[l])
                    continue
                for (var i = 0; i < lists[l].length; ++i)
                    collect(lists[l][i], out, depth + 1)
            }
            if (obj.contentItem && obj.data === undefined)
                collect(obj.contentItem, out, depth + 1)
        }

        function writes(button) {
            if (button.needs !== undefined && button.needs !== "")
                return true
            var text = String(button.text)
            for (var i = 0; i < writeWords.length; ++i) {
                if (text.indexOf(writeWords[i]) >= 0)
                    return true
            }
            return false
        }

        // Every shown and enabled button under `item` must leave the data as it is.
        function checkButtons(item, where) {
            var buttons = []
            collect(item, buttons, 0)
            var shown = 0
            for (var i = 0; i < buttons.length; ++i) {
                var b = buttons[i]
                if (!b.visible || !b.enabled)
                    continue
                ++shown
                verify(!writes(b), where + ": enabled write button " + b.objectName + " «"
                       + b.text + "»")
            }
            return shown
        }

        function test_viewerHasNoEnabledWriteButton() {
            failOnWarning(H.anyWarning)
            var component = Qt.createComponent("qrc:/qml/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            win = createTemporaryObject(component, root)
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
            var login = findChild(win.contentItem, "loginPage")
            H.type(tc, H.find(tc, login, "usernameField"), "reader")
            H.type(tc, H.find(tc, login, "passwordField"), "pass-word-1")
            H.click(tc, H.find(tc, login, "loginButton"))
            tryVerify(() => findChild(win.contentItem, "mainApp") !== null)
            tryCompare(H.find(tc, win.contentItem, "rootStack"), "busy", false)
            compare(authCtrl.currentRole, "viewer")
            var app = findChild(win.contentItem, "mainApp")
            refusals.clear()

            var total = 0
            for (var p = 0; p < 12; ++p) {
                H.click(tc, H.find(tc, app, "menuItem" + p))
                wait(50)
                total += checkButtons(H.find(tc, app, "pages"), "page " + p)
            }
            // Reading and printing stay open to the viewer.
            verify(total > 12)

            // Dialogs with writes inside, opened directly or by the reading button that leads
            // to them (a lease list, an installment plan, a property's units).
            var dialogs = [[5, "", "paymentDialog"], [4, "", "journalDialog"],
                           [6, "", "newChequeDialog"], [7, "", "rentRunDialog"],
                           [7, "", "customInvoiceDialog"], [7, "", "serviceInvoiceDialog"],
                           [8, "", "maintenanceRequestDialog"], [10, "", "addUserDialog"],
                           [10, "", "editUserDialog"], [2, "tenantContractsButton0", "contractsDialog"],
                           [3, "installmentsButton0", "installmentsDialog"],
                           [1, "manageUnitsButton0", "unitsDialog"]]
            for (var d = 0; d < dialogs.length; ++d) {
                H.click(tc, H.find(tc, app, "menuItem" + dialogs[d][0]))
                var dialog = H.find(tc, app, dialogs[d][2])
                if (dialogs[d][1] !== "")
                    H.click(tc, H.find(tc, app, dialogs[d][1]))
                else
                    dialog.open()
                H.waitOpen(tc, dialog)
                checkButtons(dialog.contentItem, dialogs[d][2])
                dialog.close()
                H.waitClosed(tc, dialog)
            }
            // No page writes on its own when shown: nothing was refused along the way.
            compare(refusals.count, 0)
            H.click(tc, H.find(tc, app, "menuItem11"))
            H.click(tc, H.find(tc, app, "logoutButton"))
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
        }

        // A write asked for anyway is refused with a line on screen, and nothing is stored.
        function test_refusalIsShown() {
            var component = Qt.createComponent("qrc:/qml/main.qml")
            win = createTemporaryObject(component, root)
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
            verify(authCtrl.login("reader", "pass-word-1"))
            refusals.clear()
            var before = tenantModel.getAll().length
            compare(tenantModel.add("محمود", "7788", "", "", ""), -1)
            compare(tenantModel.getAll().length, before)
            compare(refusals.count, 1)
            var line = H.find(tc, win.contentItem, "refusalMessage")
            tryVerify(() => line.visible)
            verify(line.text.length > 0)
        }
    }
}
