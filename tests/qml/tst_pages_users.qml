import QtQuick
import QtTest
import "helpers.js" as H

Item {
    id: root
    width: 1280
    height: 800
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    TestCase {
        id: tc
        name: "UsersPage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/UsersPage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
            verify(authCtrl.login("admin", "qatmo"))
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
        }

        function cleanup() {
            authCtrl.logout()
        }

        function addUser(name, password, roleIndex) {
            H.click(tc, H.find(tc, page, "addUserButton"))
            var dialog = H.find(tc, page, "addUserDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "userNameField"), name)
            H.type(tc, H.find(tc, dialog, "userPasswordField"), password)
            H.click(tc, H.find(tc, dialog, "userRole" + roleIndex))
            H.click(tc, H.find(tc, dialog, "saveUserButton"))
            return dialog
        }

        function rowOf(name) {
            var index = H.indexWhere(page.users, u => u.username === name)
            verify(index >= 0, "no row for " + name)
            H.find(tc, page, "usersTableList").positionViewAtIndex(index, 0)
            return index
        }

        function test_adminAddsAndRemovesAUser() {
            verify(H.find(tc, page, "addUserButton").visible)
            compare(H.find(tc, H.find(tc, page, "addUserDialog"), "userPasswordField").echoMode,
                    TextInput.Password)
            var dialog = addUser("clerk1", "secret-1", 0)
            H.waitClosed(tc, dialog)
            var index = rowOf("clerk1")
            compare(page.users[index].role, "user")
            verify(page.users[index].last_login === null || page.users[index].last_login === undefined
                   || page.users[index].last_login === "")
            // The administrator's own row cannot be removed.
            verify(!H.find(tc, page, "removeUserButton" + rowOf("admin")).visible)

            H.click(tc, H.find(tc, page, "removeUserButton" + rowOf("clerk1")))
            compare(H.indexWhere(page.users, u => u.username === "clerk1"), -1)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM users WHERE username=?", ["clerk1"]), 0)
        }

        function test_duplicateUserNameIsExplained() {
            var count = H.scalar(database, "SELECT COUNT(*) as c FROM users")
            var dialog = addUser("admin", "whatever", 1)
            compare(dialog.message, "تعذر إضافة المستخدم: اسم المستخدم مستخدم مسبقاً")
            verify(dialog.opened)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM users"), count)
            dialog.close()
            H.waitClosed(tc, dialog)
        }

        function test_plainUserHasNoAddOrRemove() {
            var dialog = addUser("viewer1", "secret-2", 0)
            H.waitClosed(tc, dialog)
            verify(authCtrl.login("viewer1", "secret-2"))
            compare(authCtrl.currentRole, "user")
            verify(!H.find(tc, page, "addUserButton").visible)
            for (var i = 0; i < page.users.length; ++i) {
                H.find(tc, page, "usersTableList").positionViewAtIndex(i, 0)
                verify(!H.find(tc, page, "removeUserButton" + i).visible, page.users[i].username)
            }
            // Back as administrator to tidy up.
            verify(authCtrl.login("admin", "qatmo"))
            H.click(tc, H.find(tc, page, "removeUserButton" + rowOf("viewer1")))
            compare(H.indexWhere(page.users, u => u.username === "viewer1"), -1)
        }
    }
}
