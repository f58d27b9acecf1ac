import QtQuick
import QtQuick.Controls
import "components/Theme.js" as Theme

ApplicationWindow {
    id: window

    readonly property color bgPrimary: "#0a0e1a"
    readonly property color bgSecondary: "#111827"
    readonly property color bgCard: "#1a1f35"
    readonly property color bgSidebar: "#0f1328"
    readonly property color accentGold: "#d4a843"
    readonly property color accentGoldLight: "#e8c76a"
    readonly property color accentGoldDark: "#b8922e"
    readonly property color textPrimary: "#ffffff"
    readonly property color textSecondary: "#94a3b8"
    readonly property color textMuted: "#64748b"
    readonly property color borderColor: "#1e293b"
    readonly property color successColor: "#22c55e"
    readonly property color warningColor: "#f59e0b"
    readonly property color dangerColor: "#ef4444"

    // The page on screen: "login", "setup" or "shell".
    property string screen: "login"

    width: 1280
    height: 800
    minimumWidth: 1024
    minimumHeight: 700
    visible: true
    color: "#0a0e1a"
    title: "بلفاردينو - نظام إدارة العقارات والمحاسبة"
    font.family: Theme.fontFamily

    function showAfterLogin() {
        if (settingsManager.isFirstRun && authCtrl.canAdminister)
            showSetup()
        else
            showShell()
    }
    function showSetup() {
        screen = "setup"
        stack.replace(setupComponent)
    }
    function showShell() {
        screen = "shell"
        stack.replace(mainAppComponent)
    }
    function showLogin() {
        screen = "login"
        stack.replace(null, loginComponent)
    }

    // Logging out must not leave the shell usable: back to a fresh login page.
    Connections {
        target: authCtrl
        function onAuthChanged() {
            if (!authCtrl.isLoggedIn && window.screen !== "login")
                window.showLogin()
        }
    }

    // A refused operation explains itself in one short line, over whatever page is shown.
    Connections {
        target: authCtrl
        function onOperationRefused(message) {
            notice.opacity = 0
            refusal.text = message
            refusal.opacity = 1
            refusalTimer.restart()
        }
    }
    // What failed because the shared server is out of reach says so, whatever page asked.
    Connections {
        target: database
        function onDatabaseError(error) {
            if (database.connected)
                return
            notice.opacity = 0
            refusal.text = "لم يُنفذ: انقطع الاتصال بالخادم المشترك، ولم يُحفظ شيء"
            refusal.opacity = 1
            refusalTimer.restart()
        }
    }
    Timer {
        id: refusalTimer
        interval: 4000
        onTriggered: refusal.opacity = 0
    }

    // Work that ends out of sight (a file written, a password changed) is confirmed the same way.
    function confirmDone(text) {
        refusal.opacity = 0
        notice.text = text
        notice.opacity = 1
        noticeTimer.restart()
    }
    Connections {
        target: authCtrl
        function onPasswordChanged() {
            window.confirmDone("✅ تم تغيير كلمة المرور")
        }
    }
    Connections {
        target: backupManager
        function onBackupCreated(path) {
            // The safety copy made before a restore is named as such, not as the user's backup.
            var name = path.substring(path.lastIndexOf("/") + 1)
            window.confirmDone(path === backupManager.lastSafetyBackup
                               ? "✅ حُفظت البيانات الحالية في النسخة: " + name
                               : "✅ تم إنشاء النسخة الاحتياطية: " + name)
        }
    }
    Connections {
        target: chequeModel
        function onOutcomeChanged() {
            if (chequeModel.lastDone !== "")
                window.confirmDone("✅ " + chequeModel.lastDone)
        }
    }
    Connections {
        target: printCtrl
        function onPrintFinished(success, filePath) {
            if (success)
                window.confirmDone("✅ تم حفظ المستند: " + filePath)
        }
    }
    Connections {
        target: reminderModel
        function onSent(count, channel) {
            // A printed letter is announced with its file.
            if (channel === "text")
                window.confirmDone("✅ نُسخ نص التذكير وسُجّل في سجل الحساب")
        }
    }
    Connections {
        target: depositModel
        function onDataChanged() {
            window.confirmDone("✅ تم حفظ التأمين وسنده")
        }
    }
    Timer {
        id: noticeTimer
        interval: 5000
        onTriggered: notice.opacity = 0
    }

    StackView {
        id: stack
        objectName: "rootStack"
        anchors.fill: parent
        initialItem: loginComponent
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        pushEnter: Transition {
            ParallelAnimation {
                NumberAnimation {
                    property: "opacity"
                    from: 0.0
                    to: 1.0
                    duration: 300
                }
                NumberAnimation {
                    property: "x"
                    from: -50
                    to: 0
                    duration: 300
                    easing.type: Easing.OutCubic
                }
            }
        }
        pushExit: Transition {
            NumberAnimation {
                property: "opacity"
                from: 1.0
                to: 0.0
                duration: 200
            }
        }
        popEnter: Transition {
            NumberAnimation {
                property: "opacity"
                from: 0.0
                to: 1.0
                duration: 300
            }
        }
        popExit: Transition {
            NumberAnimation {
                property: "opacity"
                from: 1.0
                to: 0.0
                duration: 200
            }
        }
        replaceEnter: pushEnter
        replaceExit: pushExit
    }

    Label {
        id: refusal
        objectName: "refusalMessage"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 32
        z: 10
        opacity: 0
        visible: opacity > 0
        padding: 12
        leftPadding: 20
        rightPadding: 20
        color: "#ffffff"
        font.family: Theme.fontFamily
        font.pixelSize: 14
        background: Rectangle {
            radius: 8
            color: window.dangerColor
        }
        Behavior on opacity {
            NumberAnimation {
                duration: 200
            }
        }
    }

    Label {
        id: notice
        objectName: "doneMessage"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 32
        width: Math.min(implicitWidth, parent.width - 80)
        z: 10
        opacity: 0
        visible: opacity > 0
        padding: 12
        leftPadding: 20
        rightPadding: 20
        elide: Text.ElideMiddle
        color: "#ffffff"
        font.family: Theme.fontFamily
        font.pixelSize: 14
        background: Rectangle {
            radius: 8
            color: "#15803d"
        }
        Behavior on opacity {
            NumberAnimation {
                duration: 200
            }
        }
    }

    // A shared server out of reach: nothing is saved until it is back, which the program keeps
    // trying by itself.
    Label {
        objectName: "connectionLostMessage"
        anchors.horizontalCenter: parent.horizontalCenter
        // Over the page, clear of the side bar on the right.
        anchors.horizontalCenterOffset: window.screen === "shell" ? -110 : 0
        anchors.top: parent.top
        anchors.topMargin: 12
        width: Math.min(implicitWidth, parent.width - 300)
        z: 11
        visible: !database.connected
        padding: 12
        leftPadding: 20
        rightPadding: 20
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
        text: "⚠ انقطع الاتصال بالخادم المشترك: لن يُحفظ شيء حتى يعود، والبرنامج يعيد المحاولة تلقائياً"
        color: "#ffffff"
        font.family: Theme.fontFamily
        font.pixelSize: 14
        font.bold: true
        background: Rectangle {
            radius: 8
            color: window.warningColor
            border.color: "#b45309"
        }
    }

    Component {
        id: loginComponent
        LoginPage {
            onLoginSuccess: window.showAfterLogin()
        }
    }
    Component {
        id: setupComponent
        SetupPage {
            onSetupComplete: window.showShell()
        }
    }
    Component {
        id: mainAppComponent
        MainApp {}
    }
}
