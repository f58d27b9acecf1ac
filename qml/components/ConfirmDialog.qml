import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Asks before what cannot be undone, saying what will happen. ask() takes the action to run on
// confirmation; cancelling runs nothing.
MDialog {
    id: dialog

    property string details: ""
    property string confirmText: "تأكيد"
    property bool danger: true
    property var action: null

    function ask(heading, text, confirmLabel, run, isDanger) {
        title = heading
        details = text
        confirmText = confirmLabel || "تأكيد"
        danger = isDanger !== false
        action = run
        open()
    }

    dialogWidth: 460

    onClosed: action = null

    Label {
        objectName: "confirmDetails"
        Layout.fillWidth: true
        text: dialog.details
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    RowLayout {
        Layout.fillWidth: true
        Layout.topMargin: 8
        spacing: 12
        MButton {
            objectName: "confirmButton"
            Layout.fillWidth: true
            text: dialog.confirmText
            btnColor: dialog.danger ? Theme.dangerColor : Theme.gold
            textColor: dialog.danger ? "#ffffff" : "#020617"
            onClicked: {
                var run = dialog.action
                dialog.action = null
                dialog.close()
                if (run)
                    run()
            }
        }
        MButton {
            objectName: "cancelConfirmButton"
            Layout.fillWidth: true
            text: "إلغاء"
            outline: true
            onClicked: dialog.close()
        }
    }
}
