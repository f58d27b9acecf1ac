import QtQuick
import QtTest
import "helpers.js" as H

TestCase {
    id: tc
    name: "Login"
    when: windowShown

    property var win: null

    function init() {
        failOnWarning(/.*/)
        var component = Qt.createComponent("qrc:/qml/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        win = createTemporaryObject(component, tc)
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

    // After the stack's transition, so the next click lands.
    function waitFor(shown) {
        tryVerify(() => (shell() !== null) === shown)
        tryCompare(H.find(tc, win.contentItem, "rootStack"), "busy", false)
        return shown ? shell() : H.find(tc, win.contentItem, "loginPage")
    }

    function test_wrongPasswordStaysOnLogin() {
        login("admin", "wrong-password")
        verify(H.find(tc, win.contentItem, "loginError").visible)
        compare(win.screen, "login")
        compare(authCtrl.isLoggedIn, false)
    }

    function test_loginNavigatesAndLogoutOffersTheDefaultsAgain() {
        login("admin", "qatmo")
        var app = waitFor(true)
        var pages = H.find(tc, app, "pages")
        for (var i = 11; i >= 0; --i) {
            H.click(tc, H.find(tc, app, "menuItem" + i))
            compare(pages.currentIndex, i)
        }
        H.click(tc, H.find(tc, app, "logoutButton"))
        compare(authCtrl.isLoggedIn, false)
        var page = waitFor(false)
        compare(win.screen, "login")
        compare(H.find(tc, page, "passwordField").text, "qatmo")
        verify(H.find(tc, page, "defaultCredentialsHint").visible)
    }

    function test_changePasswordWithdrawsTheDefaults() {
        login("admin", "qatmo")
        var app = waitFor(true)
        H.click(tc, H.find(tc, app, "changePasswordButton"))
        var dialog = H.find(tc, app, "changePasswordDialog")
        H.waitOpen(tc, dialog)
        var save = H.find(tc, dialog, "savePasswordButton")

        H.type(tc, H.find(tc, dialog, "oldPasswordField"), "qatmo")
        H.type(tc, H.find(tc, dialog, "newPasswordField"), "n3w-secret")
        H.type(tc, H.find(tc, dialog, "confirmPasswordField"), "different")
        H.click(tc, save)
        compare(dialog.message, "كلمتا المرور الجديدتان غير متطابقتين")

        H.type(tc, H.find(tc, dialog, "oldPasswordField"), "not-the-password")
        H.type(tc, H.find(tc, dialog, "confirmPasswordField"), "n3w-secret")
        H.click(tc, save)
        verify(dialog.message.indexOf("تعذر تغيير كلمة المرور") === 0, dialog.message)
        verify(dialog.opened)

        H.type(tc, H.find(tc, dialog, "oldPasswordField"), "qatmo")
        H.click(tc, save)
        H.waitClosed(tc, dialog)

        H.click(tc, H.find(tc, app, "logoutButton"))
        var page = waitFor(false)
        compare(H.find(tc, page, "passwordField").text, "")
        verify(!H.find(tc, page, "defaultCredentialsHint").visible)
        login("admin", "n3w-secret")
        waitFor(true)
        verify(authCtrl.changePassword("n3w-secret", "qatmo"))
    }
}
