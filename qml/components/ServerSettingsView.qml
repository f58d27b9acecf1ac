import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Where the data lives: this computer's file or a shared PostgreSQL server, with a test of the
// connection. The administrator's; a saved choice applies at the program's next start, when it
// opens the chosen data before anyone logs in (the operators and their roles are the server's).
SettingsSection {
    id: view
    objectName: "serverSection"

    // The choice shown, saved or not yet.
    property bool serverPicked: serverSettings.useServer

    signal saved(bool server)

    function portNumber() {
        return portField.text.trim() === "" ? 5432 : Math.round(portField.amount)
    }

    function test() {
        status = ""
        serverSettings.testConnection(hostField.text, portNumber(), databaseField.text,
                                      userField.text, passwordField.text)
    }

    function save() {
        var ok = serverPicked ? serverSettings.chooseServer(hostField.text, portNumber(),
                                                            databaseField.text, userField.text,
                                                            passwordField.text)
                              : serverSettings.chooseFile()
        if (ok) {
            passwordField.text = ""
            statusColor = Theme.successColor
            status = "✅ حُفظ مكان البيانات: يُطبق عند تشغيل البرنامج في المرة القادمة"
            view.saved(serverPicked)
        } else if (serverSettings.lastError() !== "") {
            statusColor = Theme.dangerColor
            status = serverSettings.lastError()
        }
    }

    Connections {
        target: serverSettings
        function onTested(connected, message) {
            view.statusColor = connected ? Theme.successColor : Theme.dangerColor
            view.status = message
        }
    }

    title: "🖧 مكان البيانات"
    visible: authCtrl.canAdminister

    Label {
        objectName: "dataLocationNow"
        Layout.fillWidth: true
        text: (serverSettings.runningOnServer
               ? "البيانات الآن على الخادم المشترك، ويعمل عليها كل من يتصل به."
               : "البيانات الآن في ملف على هذا الجهاز.")
              + " يُطبق تغيير المكان عند تشغيل البرنامج في المرة القادمة."
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    FilterChips {
        objectName: "dataLocationChoice"
        model: ["💻 هذا الجهاز", "🖧 خادم مشترك (PostgreSQL)"]
        currentIndex: view.serverPicked ? 1 : 0
        onSelected: index => {
            view.serverPicked = index === 1
            view.status = ""
        }
    }

    GridLayout {
        Layout.fillWidth: true
        visible: view.serverPicked
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        MTextField {
            id: hostField
            objectName: "serverHostField"
            Layout.fillWidth: true
            Layout.preferredWidth: 2
            label: "عنوان الخادم"
            placeholderText: "مثل 192.168.1.10 أو server.local"
            text: serverSettings.host
        }
        MTextField {
            id: portField
            objectName: "serverPortField"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            label: "المنفذ"
            text: String(serverSettings.port)
        }
        MTextField {
            id: databaseField
            objectName: "serverDatabaseField"
            Layout.fillWidth: true
            Layout.preferredWidth: 2
            label: "اسم قاعدة البيانات"
            text: serverSettings.databaseName
        }
        MTextField {
            id: userField
            objectName: "serverUserField"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            label: "اسم المستخدم"
            text: serverSettings.user
        }
        MTextField {
            id: passwordField
            objectName: "serverPasswordField"
            Layout.fillWidth: true
            Layout.columnSpan: 2
            label: "كلمة المرور (تُحفظ في خزنة كلمات السر لسطح المكتب، لا في ملف)"
            placeholderText: serverSettings.useServer ? "اتركها فارغة للإبقاء على كلمة المرور المحفوظة"
                                                      : ""
            echoMode: TextInput.Password
        }
    }

    RowLayout {
        spacing: 10

        MButton {
            objectName: "testConnectionButton"
            visible: view.serverPicked
            enabled: !serverSettings.testing
            outline: true
            text: serverSettings.testing ? "جارٍ الاختبار..." : "اختبار الاتصال"
            onClicked: view.test()
        }
        MButton {
            objectName: "saveDataLocationButton"
            // The file is the default: saving it means something only to leave a server.
            visible: view.serverPicked || serverSettings.useServer
            needs: "admin"
            text: "حفظ مكان البيانات"
            onClicked: view.save()
        }
    }
}
