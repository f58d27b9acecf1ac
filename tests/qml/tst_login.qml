import QtQuick
import QtTest
import "helpers.js" as H

// Log in (and a wrong password), reach every page from the side bar, change the password and
// log out back to a fresh login page.
Item {
    id: root
    width: 200
    height: 200

    TestCase {
        id: tc
        name: "Login"
        when: windowShown

        property var win: null

        function init() {
            failOnWarning(/.*/)
            var component = Qt.createComponent("qrc:/qml/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            win = createTemporaryObject(component, root)
            verify(win)
            tryCompare(win, "visible", true)
            tryVerify(() => findChild(win.contentItem, "loginPage") !== null)
        }

        function cleanup() {
            if (authCtrl.isLoggedIn)
                authCtrl.logout()
        }

        function login(user, password) {
            var page = H.find(tc, win.contentItem, "loginPage")
            H.type(tc, H.find(tc, page, "usernameField"), user)
            H.type(tc, H.find(tc, page, "passwordField"), password)
            H.click(tc, H.find(tc, page, "loginButton"))
        }

        function shell() {
            return findChild(win.contentItem, "mainApp")
        }

        // The shell is on screen and its entrance animation has finished.
        function waitShell() {
            tryVerify(() => shell() !== null)
            tryCompare(H.find(tc, win.contentItem, "rootStack"), "busy", false)
            return shell()
        }

        function waitLogin() {
            tryVerify(() => shell() === null)
            tryCompare(H.find(tc, win.contentItem, "rootStack"), "busy", false)
            return H.find(tc, win.contentItem, "loginPage")
        }

        function test_defaultsAreOfferedOnAFreshDatabase() {
            var page = H.find(tc, win.contentItem, "loginPage")
            compare(H.find(tc, page, "usernameField").text, "admin")
            compare(H.find(tc, page, "passwordField").text, "qatmo")
            verify(H.find(tc, page, "defaultCredentialsHint").visible)
        }

        function test_wrongPasswordStaysOnLogin() {
            login("admin", "wrong-password")
            var page = H.find(tc, win.contentItem, "loginPage")
            verify(H.find(tc, page, "loginError").visible)
            compare(win.screen, "login")
            compare(authCtrl.isLoggedIn, false)
            verify(shell() === null)
        }

        function test_loginReachesEveryPageAndLogoutReturnsToLogin() {
            login("admin", "qatmo")
            var app = waitShell()
            compare(win.screen, "shell")
            var pages = H.find(tc, app, "pages")
            var names = ["dashboardPage", "propertiesPage", "tenantsPage", "buyersPage",
                         "accountingPage", "paymentsPage", "chequesPage", "invoicesPage",
                         "maintenancePage", "reportsPage", "usersPage", "settingsPage"]
            for (var i = names.length - 1; i >= 0; --i) {
                H.click(tc, H.find(tc, app, "menuItem" + i))
                compare(pages.currentIndex, i)
                tryVerify(() => H.find(tc, app, names[i]).visible, 2000, names[i])
            }
            H.click(tc, H.find(tc, app, "logoutButton"))
            compare(authCtrl.isLoggedIn, false)
            var page = waitLogin()
            compare(win.screen, "login")
            compare(H.find(tc, page, "passwordField").text, "qatmo")
        }

        function test_changePasswordWithdrawsTheDefaults() {
            login("admin", "qatmo")
            var app = waitShell()
            H.click(tc, H.find(tc, app, "changePasswordButton"))
            var dialog = H.find(tc, app, "changePasswordDialog")
            H.waitOpen(tc, dialog)

            H.type(tc, H.find(tc, dialog, "oldPasswordField"), "qatmo")
            H.type(tc, H.find(tc, dialog, "newPasswordField"), "n3w-secret")
            H.type(tc, H.find(tc, dialog, "confirmPasswordField"), "different")
            H.click(tc, H.find(tc, dialog, "savePasswordButton"))
            compare(dialog.message, "كلمتا المرور الجديدتان غير متطابقتين")
            verify(dialog.opened)

            H.type(tc, H.find(tc, dialog, "oldPasswordField"), "not-the-password")
            H.type(tc, H.find(tc, dialog, "confirmPasswordField"), "n3w-secret")
            H.click(tc, H.find(tc, dialog, "savePasswordButton"))
            verify(dialog.message.indexOf("تعذر تغيير كلمة المرور") === 0, dialog.message)

            H.type(tc, H.find(tc, dialog, "oldPasswordField"), "qatmo")
            H.click(tc, H.find(tc, dialog, "savePasswordButton"))
            H.waitClosed(tc, dialog)

            H.click(tc, H.find(tc, app, "logoutButton"))
            var page = waitLogin()
            compare(H.find(tc, page, "usernameField").text, "")
            compare(H.find(tc, page, "passwordField").text, "")
            verify(!H.find(tc, page, "defaultCredentialsHint").visible)

            login("admin", "n3w-secret")
            waitShell()
            // Put the default back for the other tests.
            verify(authCtrl.changePassword("n3w-secret", "qatmo"))
        }
    }
}
