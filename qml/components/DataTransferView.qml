import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Copies all the data in use to another store: from this computer's file into the empty
// database of a shared server, or from the server into a new file for an offline copy. The data
// in use stays in use; working on the server is chosen where the data lives.
SettingsSection {
    id: view

    // What offers the native file chooser; replaceable so the flow runs without a desktop.
    property var chooser: backupManager
    property bool onServer: backupManager.usesServer()
    property bool running: false
    property real done: 0
    property real total: 0
    property string lastError: ""

    function askToServer() {
        var url = backupManager.serverUrl(hostField.text, Number(portField.text) || 0,
                                          databaseField.text, userField.text, passwordField.text)
        confirm.ask("نقل البيانات إلى الخادم",
                    "تُنسخ جميع بيانات هذا الحاسوب إلى قاعدة «" + databaseField.text + "» على الخادم «"
                    + hostField.text + "»، وهي فارغة. يُتحقق من عدد الصفوف وسلامة الأرصدة قبل حفظها، "
                    + "ويبقى الملف على هذا الحاسوب كما هو.", "نقل", view.copyTo.bind(view, url), false)
    }

    function askToFile() {
        var file = chooser.browseNewDataFile()
        if (!file || file === "")
            return
        confirm.ask("نسخ البيانات إلى ملف",
                    "تُنسخ جميع بيانات الخادم إلى الملف الجديد «" + file + "» للعمل دون اتصال. "
                    + "تبقى بيانات الخادم كما هي.", "نسخ", view.copyTo.bind(view, file), false)
    }

    function copyTo(target) {
        lastError = ""
        done = 0
        total = 0
        running = true
        var ok = backupManager.copyDataTo(target)
        running = false
        statusColor = ok ? Theme.successColor : Theme.dangerColor
        status = ok ? (onServer ? "✅ نُسخت البيانات إلى الملف، وما زالت بيانات الخادم قيد الاستخدام"
                                : "✅ نُقلت البيانات إلى الخادم. اختر «خادم مشترك» مكاناً للبيانات للعمل عليه")
                    : "❌ " + (lastError !== "" ? lastError : "تعذر نسخ البيانات، ولم يتغير شيء")
        passwordField.text = ""
    }

    title: "🔁 نقل البيانات بين الملف والخادم"
    objectName: "dataTransferSection"

    Connections {
        target: backupManager
        function onTransferProgress(copied, all) {
            view.done = copied
            view.total = all
        }
        function onBackupError(error) {
            view.lastError = error
        }
    }

    Label {
        Layout.fillWidth: true
        text: view.onServer ? "نسخة من بيانات الخادم كاملة في ملف جديد على هذا الحاسوب، للعمل دون اتصال."
                            : "نقل بيانات هذا الحاسوب كاملة إلى قاعدة فارغة على خادم PostgreSQL مشترك."
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    GridLayout {
        Layout.fillWidth: true
        visible: !view.onServer
        columns: width > 700 ? 3 : 2
        columnSpacing: 10
        rowSpacing: 8

        MTextField {
            id: hostField
            objectName: "transferHostField"
            Layout.fillWidth: true
            label: "الخادم"
            placeholderText: "server.local"
        }
        MTextField {
            id: portField
            objectName: "transferPortField"
            Layout.fillWidth: true
            label: "المنفذ"
            text: "5432"
        }
        MTextField {
            id: databaseField
            objectName: "transferDatabaseField"
            Layout.fillWidth: true
            label: "قاعدة البيانات"
            placeholderText: "belvardino"
        }
        MTextField {
            id: userField
            objectName: "transferUserField"
            Layout.fillWidth: true
            label: "المستخدم"
        }
        MTextField {
            id: passwordField
            objectName: "transferPasswordField"
            Layout.fillWidth: true
            label: "كلمة المرور"
            echoMode: TextInput.Password
        }
    }

    ProgressBar {
        objectName: "transferProgress"
        Layout.fillWidth: true
        visible: view.running
        from: 0
        to: Math.max(1, view.total)
        value: view.done
    }

    RowLayout {
        spacing: 10
        MButton {
            objectName: "moveToServerButton"
            needs: "admin"
            visible: !view.onServer
            enabled: !view.running && hostField.text.trim() !== "" && databaseField.text.trim() !== ""
                     && userField.text.trim() !== ""
            text: "نقل البيانات إلى الخادم"
            onClicked: view.askToServer()
        }
        MButton {
            objectName: "copyToFileButton"
            needs: "admin"
            visible: view.onServer
            enabled: !view.running
            text: "نسخ البيانات إلى ملف"
            onClicked: view.askToFile()
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "transferConfirm"
    }
}
