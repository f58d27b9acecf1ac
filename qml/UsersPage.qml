import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var users: []
    property string message: ""
    readonly property bool isAdmin: authCtrl.currentRole === "admin"
    readonly property var roles: ["user", "admin"]

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

        DataTable {
            objectName: "usersTable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.users
            actionsWidth: 70
            emptyText: "لا يوجد مستخدمون"
            columns: [
                { title: "اسم المستخدم", w: 3, value: r => "👤  " + Theme.text(r.username), bold: true,
                  color: () => Theme.textPrimary },
                { title: "الصلاحية", w: 2, value: r => r.role === "admin" ? "مدير نظام" : "موظف",
                  color: r => r.role === "admin" ? Theme.gold : Theme.textSecondary },
                // A left-to-right mark keeps a date after Arabic text in reading order.
                { title: "آخر دخول", w: 3, value: r => "آخر دخول: " + (r.last_login ? "\u200e" + r.last_login : "أبداً") }
            ]
            actions: [
                { text: "🗑", name: "removeUserButton", outline: true, color: Theme.dangerColor,
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
            model: ["موظف", "مدير نظام"]
        }
        MButton {
            objectName: "saveUserButton"
            Layout.fillWidth: true
            Layout.topMargin: 4
            text: "حفظ"
            onClicked: {
                if (nameField.text.trim() === "" || passwordField.text === "") {
                    userDialog.message = "أدخل اسم المستخدم وكلمة المرور"
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

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }
}
