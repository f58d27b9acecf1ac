import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A tenant's or buyer's payment reminder, as a PDF letter or as text for a message application,
// and the reminders already sent to them. `said(text, ok)` reports the outcome to the dialog.
ColumnLayout {
    id: panel

    property string kind: "tenant"
    property int personId: 0
    property var letter: ({})
    property var sent: []

    signal said(string text, bool ok)

    function load(id) {
        personId = id
        reload()
    }

    function reload() {
        letter = personId > 0 ? (reminderModel.compose(kind, personId) || {}) : {}
        sent = personId > 0 ? Theme.rows(reminderModel.history(kind, personId)) : []
    }

    function send(channel) {
        if (!letter.overdue) {
            said("لا توجد مبالغ متأخرة لإرسال تذكير بها", false)
            return
        }
        var done = reminderModel.send(kind, personId, channel)
        if (!done || !done.text) {
            said("تعذر تسجيل التذكير", false)
            return
        }
        if (channel === "pdf") {
            printCtrl.printReminders([done])
        } else {
            clipboard.text = done.text
            clipboard.selectAll()
            clipboard.copy()
            said("تم نسخ نص التذكير وتسجيله", true)
        }
        reload()
    }

    function channelName(channel) {
        return channel === "pdf" ? "رسالة PDF" : "نص منسوخ"
    }

    spacing: 8

    // Copies through a text edit, the one clipboard QML offers.
    TextEdit {
        id: clipboard
        visible: false
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        Label {
            Layout.fillWidth: true
            objectName: "reminderOverdue"
            text: panel.letter.overdue ? "المتأخر حتى اليوم: " + Theme.text(panel.letter.total_text)
                                       : "لا توجد مبالغ متأخرة"
            color: panel.letter.overdue ? Theme.dangerColor : Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.bold: true
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
        MButton {
            objectName: "reminderPdfButton"
            text: "تذكير PDF"
            iconSymbol: "✉"
            outline: true
            needs: "write"
            onClicked: panel.send("pdf")
        }
        MButton {
            objectName: "reminderTextButton"
            text: "نسخ نص التذكير"
            outline: true
            needs: "write"
            onClicked: panel.send("text")
        }
    }

    Label {
        Layout.fillWidth: true
        text: "التذكيرات المرسلة"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }
    Label {
        Layout.fillWidth: true
        visible: panel.sent.length === 0
        text: "لم يُرسل أي تذكير بعد"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 12
        horizontalAlignment: Text.AlignLeft
    }
    Repeater {
        objectName: "reminderHistory"
        model: panel.sent
        delegate: Label {
            required property var modelData
            Layout.fillWidth: true
            text: Theme.text(modelData.sent_at) + " - " + panel.channelName(modelData.channel)
                  + (Theme.text(modelData.operator) !== "" ? " - " + modelData.operator : "")
                  + " - " + Theme.text(modelData.total) + ": " + Theme.text(modelData.details)
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 12
            wrapMode: Text.WordWrap
            maximumLineCount: 2
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
    }
}
