import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

Rectangle {
    id: sideBar

    property int currentIndex: 0

    signal menuSelected(int index)

    color: "#020617"

    readonly property var items: [
        { icon: "⎋", label: "لوحة التحكم" },
        { icon: "🏢", label: "العقارات" },
        { icon: "⌘", label: "المستأجرون" },
        { icon: "⌥", label: "المشترون" },
        { icon: "≣", label: "المحاسبة" },
        { icon: "⌬", label: "المدفوعات" },
        { icon: "◈", label: "الشيكات" },
        { icon: "📄", label: "الفواتير" },
        { icon: "⚙", label: "الصيانة" },
        { icon: "⏚", label: "التقارير" },
        { icon: "⌗", label: "المستخدمون" },
        { icon: "⚿", label: "الإعدادات" }
    ]
    readonly property string userName: authCtrl.currentUser ? String(authCtrl.currentUser) : ""

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 56
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            spacing: 10

            Image {
                Layout.preferredWidth: 24
                Layout.preferredHeight: 24
                source: "qrc:/assets/logo.ico"
                sourceSize.width: 48
                sourceSize.height: 48
                fillMode: Image.PreserveAspectFit
            }
            Label {
                Layout.fillWidth: true
                text: "بلفاردينو"
                color: Theme.gold
                font.family: Theme.fontFamily
                font.pixelSize: 20
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
        }

        ListView {
            id: menu
            objectName: "sideBarMenu"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: sideBar.items
            // All twelve rows exist even when the window is short.
            cacheBuffer: 48 * 12
            boundsBehavior: Flickable.StopAtBounds

            delegate: Rectangle {
                id: row
                required property int index
                required property var modelData
                readonly property bool selected: sideBar.currentIndex === index

                objectName: "menuItem" + index
                width: menu.width
                height: 48
                color: selected ? "#1e293b" : (rowMouse.containsMouse ? "#0f172a" : "transparent")

                Rectangle {
                    anchors.left: parent.left
                    anchors.top: parent.top
                    anchors.bottom: parent.bottom
                    width: 4
                    visible: row.selected
                    color: Theme.gold
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 20
                    anchors.rightMargin: 16
                    spacing: 12

                    Label {
                        Layout.preferredWidth: 24
                        text: row.modelData.icon
                        color: row.selected ? Theme.gold : Theme.textSecondary
                        font.pixelSize: 18
                        horizontalAlignment: Text.AlignHCenter
                    }
                    Label {
                        Layout.fillWidth: true
                        text: row.modelData.label
                        color: row.selected ? Theme.textPrimary : Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        font.bold: row.selected
                        horizontalAlignment: Text.AlignLeft
                    }
                }

                MouseArea {
                    id: rowMouse
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: {
                        sideBar.currentIndex = row.index
                        sideBar.menuSelected(row.index)
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 1
            color: Theme.borderColor
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 64
            Layout.leftMargin: 16
            Layout.rightMargin: 12
            spacing: 10

            Rectangle {
                Layout.preferredWidth: 36
                Layout.preferredHeight: 36
                radius: 18
                color: Theme.gold

                Label {
                    anchors.centerIn: parent
                    text: sideBar.userName.length > 0 ? sideBar.userName.charAt(0).toUpperCase() : ""
                    color: "#020617"
                    font.family: Theme.fontFamily
                    font.pixelSize: 16
                    font.bold: true
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2

                Label {
                    Layout.fillWidth: true
                    text: sideBar.userName
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.bold: true
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    text: authCtrl.currentRole === "admin" ? "مدير النظام"
                          : (authCtrl.currentRole === "viewer" ? "مشاهد" : "مستخدم")
                    color: Theme.textMuted
                    font.family: Theme.fontFamily
                    font.pixelSize: 11
                    horizontalAlignment: Text.AlignLeft
                }
            }

            ToolButton {
                id: passwordButton
                objectName: "changePasswordButton"
                text: "🔑"
                font.pixelSize: 14
                contentItem: Label {
                    text: passwordButton.text
                    font: passwordButton.font
                    color: passwordButton.hovered ? Theme.gold : Theme.textSecondary
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                ToolTip.visible: hovered
                ToolTip.text: "تغيير كلمة المرور"
                onClicked: passwordDialog.open()
                background: Rectangle {
                    radius: 6
                    color: passwordButton.hovered ? "#1e293b" : "transparent"
                }
            }

            ToolButton {
                id: logoutButton
                objectName: "logoutButton"
                text: "→"
                font.pixelSize: 18
                ToolTip.visible: hovered
                ToolTip.text: "تسجيل الخروج"
                onClicked: authCtrl.logout()
                contentItem: Label {
                    text: logoutButton.text
                    font: logoutButton.font
                    color: logoutButton.hovered ? Theme.dangerColor : Theme.textSecondary
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    radius: 6
                    color: logoutButton.hovered ? "#1e293b" : "transparent"
                }
            }
        }
    }

    ChangePasswordDialog {
        id: passwordDialog
        objectName: "changePasswordDialog"
    }
}
