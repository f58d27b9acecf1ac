import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "UsersPage"
    source: "UsersPage"

    function init() {
        verify(authCtrl.login("admin", "qatmo"))
        load()
    }

    function cleanup() {
        authCtrl.logout()
    }

    function addUser(name, password, roleIndex) {
        var dialog = H.open(tc, page, "addUserButton", "addUserDialog")
        H.fill(tc, dialog, { userNameField: name, userPasswordField: password })
        H.click(tc, H.find(tc, dialog, "userRole" + roleIndex))
        H.click(tc, H.find(tc, dialog, "saveUserButton"))
        return dialog
    }

    function removeButton(name) {
        var index = H.row(tc, page, "usersTableList", page.users, u => u.username === name)
        return H.find(tc, page, "removeUserButton" + index)
    }

    function test_duplicateUserNameIsExplained() {
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM users")
        var dialog = addUser("admin", "whatever", 1)
        compare(dialog.message, "تعذر إضافة المستخدم: اسم المستخدم مستخدم مسبقاً")
        verify(dialog.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM users"), count)
    }

    function test_onlyTheAdministratorAddsAndRemovesOthers() {
        H.waitClosed(tc, addUser("viewer1", "secret-2", 0))
        compare(page.users[H.indexWhere(page.users, u => u.username === "viewer1")].role, "user")
        verify(!removeButton("admin").visible)
        verify(authCtrl.login("viewer1", "secret-2"))
        verify(!H.find(tc, page, "addUserButton").visible)
        for (var i = 0; i < page.users.length; ++i)
            verify(!removeButton(page.users[i].username).visible, page.users[i].username)
        verify(authCtrl.login("admin", "qatmo"))
        H.click(tc, removeButton("viewer1"))
        H.answer(tc, page, true)
        compare(H.indexWhere(page.users, u => u.username === "viewer1"), -1)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM users WHERE username=?", ["viewer1"]), 0)
    }
}
