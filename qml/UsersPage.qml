import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var users: []
    property string message: ""
    readonly property bool isAdmin: authCtrl.canAdminister
    readonly property var roles: ["user", "admin", "viewer"]
    readonly property var roleNames: ["موظف", "مدير نظام", "مشاهد"]

    function roleName(role) {
        var i = roles.indexOf(role)
        return i >= 0 ? roleNames[i] : Theme.text(role)
    }
    function edit(row) {
        editDialog.username = Theme.text(row.username)
        editDialog.wasActive = Number(row.active) === 1
        editRoleChips.currentIndex = Math.max(0, roles.indexOf(row.role))
        editActiveChips.currentIndex = editDialog.wasActive ? 0 : 1
        editPasswordField.text = ""
        editDialog.message = ""
        editDialog.open()
    }

    function reload() {
        users = Theme.rows(authCtrl.getUsers())
    }

    function remove(row) {
        if (authCtrl.removeUser(Theme.text(row.username))) {
            message = ""
            reload()
        } else {
            message = "تعذر حذف المستخدم"
        }
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a page reads its lists only once it is shown, so a
    // large portfolio does not load every list up front.
    Component.onCompleted: if (visible)
        reload()
    onVisibleChanged: if (visible)
        reload()

    Connections {
        target: authCtrl
        function onAuthChanged() {
            page.reload()
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "إدارة المستخدمين"
            subtitle: "التحكم في صلاحيات الوصول للنظام"

            MButton {
                objectName: "addUserButton"
                needs: "admin"
                visible: page.isAdmin
                text: "+ مستخدم جديد"
                onClicked: userDialog.open()
            }
        }

        Label {
            objectName: "pageMessage"
            Layout.fillWidth: true
            visible: page.message !== ""
            text: page.message
            color: Theme.dangerColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }

        FilterChips {
            id: tabs
            objectName: "usersTabs"
            model: ["المستخدمون", "سجل العمليات"]
            onSelected: index => {
                if (index === 1)
                    auditView.reload()
            }
        }

        AuditLogView {
            id: auditView
            objectName: "auditView"
            visible: tabs.currentIndex === 1
            Layout.fillWidth: true
            Layout.fillHeight: true
        }

        DataTable {
            objectName: "usersTable"
            visible: tabs.currentIndex === 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.users
            actionsWidth: 150
            emptyText: "لا يوجد مستخدمون"
            columns: [
                { title: "اسم المستخدم", w: 3, value: r => "👤  " + Theme.text(r.username), bold: true,
                  color: () => Theme.textPrimary },
                { title: "الصلاحية", w: 2, value: r => page.roleName(r.role)
                                                     + (Number(r.active) === 1 ? "" : " (موقوف)"),
                  color: r => r.role === "admin" ? Theme.gold : Theme.textSecondary },
                // A left-to-right mark keeps a date after Arabic text in reading order.
                { title: "آخر دخول", w: 3, value: r => "آخر دخول: " + (r.last_login ? "\u200e" + r.last_login : "أبداً") }
            ]
            actions: [
                { text: "تعديل", name: "editUserButton", needs: "admin", outline: true,
                  show: () => page.isAdmin, run: r => page.edit(r) },
                { text: "🗑", name: "removeUserButton", needs: "admin", outline: true, color: Theme.dangerColor,
                  show: r => page.isAdmin && r.username !== "admin", run: r => confirm.ask("حذف المستخدم", "سيُحذف المستخدم «" + Theme.text(r.username)
                                                  + "» ولن يتمكن من الدخول.", "حذف",
                                                  page.remove.bind(page, r)) }
            ]
        }
    }

    MDialog {
        id: userDialog
        objectName: "addUserDialog"
        title: "إضافة مستخدم"
        dialogWidth: 440

        function clear() {
            nameField.text = ""
            passwordField.text = ""
            roleChips.currentIndex = 0
        }

        MTextField {
            id: nameField
            objectName: "userNameField"
            Layout.fillWidth: true
            label: "اسم المستخدم"
        }
        MTextField {
            id: passwordField
            objectName: "userPasswordField"
            Layout.fillWidth: true
            label: "كلمة المرور"
            echoMode: TextInput.Password
        }
        Label {
            Layout.fillWidth: true
            text: "الصلاحية:"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        FilterChips {
            id: roleChips
            objectName: "userRole"
            model: page.roleNames
        }
        MButton {
            objectName: "saveUserButton"
            needs: "admin"
            Layout.fillWidth: true
            Layout.topMargin: 4
            text: "حفظ"
            onClicked: {
                if (nameField.text.trim() === "" || passwordField.text === "") {
                    userDialog.message = "أدخل اسم المستخدم وكلمة المرور"
                    return
                }
                var refusal = authCtrl.passwordRefusal(passwordField.text)
                if (refusal !== "") {
                    userDialog.message = refusal
                    return
                }
                if (authCtrl.registerUser(nameField.text, passwordField.text,
                                          page.roles[roleChips.currentIndex])) {
                    page.reload()
                    userDialog.close()
                    userDialog.clear()
                } else {
                    userDialog.message = "تعذر إضافة المستخدم: اسم المستخدم مستخدم مسبقاً"
                }
            }
        }
    }

    MDialog {
        id: editDialog
        objectName: "editUserDialog"

        property string username: ""
        property bool wasActive: true

        title: "تعديل المستخدم: " + username
        dialogWidth: 440

        Label {
            Layout.fillWidth: true
            text: "الصلاحية:"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        FilterChips {
            id: editRoleChips
            objectName: "editUserRole"
            model: page.roleNames
        }
        FilterChips {
            id: editActiveChips
            objectName: "editUserActive"
            model: ["فعّال", "موقوف"]
        }
        MTextField {
            id: editPasswordField
            objectName: "editUserPasswordField"
            Layout.fillWidth: true
            label: "كلمة مرور جديدة (اتركها فارغة لإبقائها)"
            echoMode: TextInput.Password
        }
        MButton {
            objectName: "saveEditUserButton"
            needs: "admin"
            Layout.fillWidth: true
            Layout.topMargin: 4
            text: "حفظ"
            onClicked: {
                var name = editDialog.username
                // Refused before anything is written, so the role does not change alone.
                if (editPasswordField.text !== "") {
                    var refusal = authCtrl.passwordRefusal(editPasswordField.text)
                    if (refusal !== "") {
                        editDialog.message = refusal
                        return
                    }
                }
                var ok = authCtrl.setUserRole(name, page.roles[editRoleChips.currentIndex])
                var active = editActiveChips.currentIndex === 0
                if (ok && active !== editDialog.wasActive)
                    ok = authCtrl.setUserActive(name, active)
                if (ok && editPasswordField.text !== "")
                    ok = authCtrl.resetPassword(name, editPasswordField.text)
                if (ok) {
                    page.reload()
                    editDialog.close()
                } else {
                    editDialog.message = "تعذر حفظ التعديل: لا يمكن إيقاف المدير الأساسي أو تغيير صلاحيته"
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }
}
