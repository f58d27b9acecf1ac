import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page
    objectName: "loginPage"

    // The default credentials are offered only while they still open the administrator account.
    readonly property bool offerDefaults: authCtrl.defaultCredentialsWork()

    signal loginSuccess

    function attemptLogin() {
        if (authCtrl.login(usernameField.text, passwordField.text)) {
            errorLabel.visible = false
            page.loginSuccess()
        } else {
            errorLabel.visible = true
        }
    }

    color: "#0a0e1a"

    // The controller's reason: a wrong name or password, or how long a locked name must wait.
    Connections {
        target: authCtrl
        function onLoginFailed(reason) {
            errorLabel.text = reason
        }
    }

    // Decorative gold dots drifting over the background; positions are fractions of the page.
    Repeater {
        model: 20

        delegate: Rectangle {
            id: dot
            required property int index
            readonly property real size: 2 + Math.random() * 4
            readonly property real fx: Math.random()
            property real fy: Math.random()

            width: size
            height: size
            radius: size / 2
            color: Theme.gold
            x: fx * page.width
            y: fy * page.height
            opacity: 0.1 + Math.random() * 0.4

            SequentialAnimation on fy {
                loops: Animation.Infinite
                NumberAnimation {
                    to: Math.random()
                    duration: 8000 + Math.random() * 8000
                    easing.type: Easing.InOutSine
                }
                NumberAnimation {
                    to: Math.random()
                    duration: 8000 + Math.random() * 8000
                    easing.type: Easing.InOutSine
                }
            }
            SequentialAnimation on opacity {
                loops: Animation.Infinite
                NumberAnimation {
                    to: 0.6
                    duration: 3000 + Math.random() * 3000
                }
                NumberAnimation {
                    to: 0.1
                    duration: 3000 + Math.random() * 3000
                }
            }
        }
    }

    ColumnLayout {
        width: 420
        anchors.centerIn: parent
        spacing: 16

        Image {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 80
            Layout.preferredHeight: 80
            source: "qrc:/assets/logo.ico"
            sourceSize.width: 160
            sourceSize.height: 160
            fillMode: Image.PreserveAspectFit

            SequentialAnimation on scale {
                loops: Animation.Infinite
                NumberAnimation {
                    from: 1.0
                    to: 1.05
                    duration: 1000
                    easing.type: Easing.InOutSine
                }
                NumberAnimation {
                    from: 1.05
                    to: 1.0
                    duration: 1000
                    easing.type: Easing.InOutSine
                }
            }
        }

        Label {
            Layout.fillWidth: true
            text: "بلفاردينو"
            color: Theme.accentGold
            font.family: Theme.fontFamily
            font.pixelSize: 36
            font.bold: true
            horizontalAlignment: Text.AlignHCenter
        }
        Label {
            Layout.fillWidth: true
            text: "نظام إدارة العقارات والمحاسبة"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 15
            horizontalAlignment: Text.AlignHCenter
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: card.implicitHeight + 48
            radius: 16
            color: Theme.bgCard
            border.color: Theme.borderColor

            ColumnLayout {
                id: card
                anchors.fill: parent
                anchors.margins: 24
                spacing: 14

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    Label {
                        Layout.alignment: Qt.AlignBottom
                        Layout.bottomMargin: 8
                        text: "👤"
                        color: Theme.gold
                        font.pixelSize: 18
                    }
                    MTextField {
                        id: usernameField
                        objectName: "usernameField"
                        Layout.fillWidth: true
                        label: "اسم المستخدم"
                        placeholderText: "admin"
                        text: page.offerDefaults ? "admin" : ""
                        onAccepted: passwordField.field.forceActiveFocus()
                    }
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    Label {
                        Layout.alignment: Qt.AlignBottom
                        Layout.bottomMargin: 8
                        text: "🔒"
                        color: Theme.gold
                        font.pixelSize: 18
                    }
                    MTextField {
                        id: passwordField
                        objectName: "passwordField"
                        Layout.fillWidth: true
                        label: "كلمة المرور"
                        placeholderText: "••••••"
                        text: page.offerDefaults ? "qatmo" : ""
                        echoMode: showPassword.checked ? TextInput.Normal : TextInput.Password
                        onAccepted: loginButton.clicked()
                    }
                    ToolButton {
                        id: showPassword
                        objectName: "showPasswordToggle"
                        Layout.alignment: Qt.AlignBottom
                        checkable: true
                        text: "👁"
                        font.pixelSize: 16
                        contentItem: Label {
                            text: showPassword.text
                            font: showPassword.font
                            color: showPassword.checked ? Theme.gold : Theme.textSecondary
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                        }
                        background: Rectangle {
                            radius: 6
                            color: showPassword.checked ? "#1e293b" : "transparent"
                        }
                    }
                }

                Label {
                    id: errorLabel
                    objectName: "loginError"
                    Layout.fillWidth: true
                    visible: false
                    text: "اسم المستخدم أو كلمة المرور غير صحيحة"
                    color: Theme.dangerColor
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.WordWrap
                }

                MButton {
                    id: loginButton
                    objectName: "loginButton"
                    Layout.fillWidth: true
                    Layout.preferredHeight: 46
                    text: "تسجيل الدخول"
                    onClicked: page.attemptLogin()
                }
            }
        }

        Label {
            objectName: "defaultCredentialsHint"
            Layout.fillWidth: true
            visible: page.offerDefaults
            text: "بيانات الدخول الافتراضية: admin / qatmo"
            color: Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 12
            horizontalAlignment: Text.AlignHCenter
        }
    }

    Component.onCompleted: usernameField.field.forceActiveFocus()
}
