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

    function test_shortPasswordIsRefusedBeforeAnyWrite_data() {
        return [
            { tag: "new user, 7 characters", edit: false, password: "secret7", saved: false },
            { tag: "new user, 8 characters", edit: false, password: "secret-8", saved: true },
            { tag: "reset, 7 characters", edit: true, password: "secret7", saved: false },
            { tag: "reset, 8 characters", edit: true, password: "secret-8", saved: true }
        ]
    }

    // A refused password leaves the dialog open with the reason, and nothing written.
    function test_shortPasswordIsRefusedBeforeAnyWrite(data) {
        var name = "len" + (data.edit ? "edit" : "add") + data.password.length
        var dialog
        if (data.edit) {
            verify(authCtrl.registerUser(name, "first-pass", "user"))
            page.reload()
            var index = H.row(tc, page, "usersTableList", page.users, u => u.username === name)
            H.press(tc, page, "editUserButton" + index)
            dialog = H.find(tc, page, "editUserDialog")
            H.waitOpen(tc, dialog)
            H.click(tc, H.find(tc, dialog, "editUserRole1"))
            H.type(tc, H.find(tc, dialog, "editUserPasswordField"), data.password)
            H.click(tc, H.find(tc, dialog, "saveEditUserButton"))
        } else {
            dialog = addUser(name, data.password, 0)
        }
        var stored = H.scalar(database, "SELECT COUNT(*) as c FROM users WHERE username=?", [name])
        if (data.saved) {
            H.waitClosed(tc, dialog)
            compare(stored, 1)
        } else {
            verify(dialog.opened)
            verify(dialog.message !== "")
            compare(dialog.message, authCtrl.passwordRefusal(data.password))
            compare(stored, data.edit ? 1 : 0)
            dialog.close()
            H.waitClosed(tc, dialog)
        }
        // The role of an edited user changes only with an accepted password.
        if (data.edit)
            compare(H.scalar(database, "SELECT role as c FROM users WHERE username=?", [name]) === "user",
                    !data.saved)
        authCtrl.logout()
        compare(authCtrl.login(name, data.password), data.saved)
        verify(authCtrl.login("admin", "qatmo"))
        if (H.scalar(database, "SELECT COUNT(*) as c FROM users WHERE username=?", [name]) > 0)
            verify(authCtrl.removeUser(name))
    }
}
