import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Asks before what cannot be undone, saying what will happen. ask() takes the action to run on
// confirmation; cancelling runs nothing. askChoice() also asks for one of `options` (labels) and
// passes the chosen index to the action.
MDialog {
    id: dialog

    property string details: ""
    property string confirmText: "تأكيد"
    property bool danger: true
    property var action: null
    property var options: []
    property string optionsLabel: ""
    readonly property int choice: optionBox.currentIndex

    function askChoice(heading, text, confirmLabel, label, choices, run, isDanger) {
        ask(heading, text, confirmLabel, () => run(optionBox.currentIndex), isDanger)
        optionsLabel = label
        options = choices
        optionBox.currentIndex = 0
    }

    function ask(heading, text, confirmLabel, run, isDanger) {
        options = []
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
    MComboBox {
        id: optionBox
        objectName: "confirmChoice"
        Layout.fillWidth: true
        visible: dialog.options.length > 0
        label: dialog.optionsLabel
        model: dialog.options
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
