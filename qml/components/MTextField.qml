import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

ColumnLayout {
    id: root

    property alias text: input.text
    property alias placeholderText: input.placeholderText
    property alias echoMode: input.echoMode
    property alias readOnly: input.readOnly
    property alias field: input
    property string label: ""
    // The text read as people type numbers and dates (any digits, thousands separators).
    readonly property real amount: inputConverter.amount(input.text)
    readonly property string date: inputConverter.date(input.text)

    // Empty for a real date; otherwise why not, with `formatMessage` for a malformed one.
    function dateMessage(formatMessage) {
        if (date !== "")
            return ""
        return inputConverter.isDateShaped(input.text) ? "هذا التاريخ غير موجود في التقويم"
                                                       : formatMessage
    }

    signal accepted

    spacing: 6

    Label {
        Layout.fillWidth: true
        visible: root.label !== ""
        text: root.label
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }

    TextField {
        id: input
        objectName: root.objectName !== "" ? root.objectName + "Input" : ""
        Layout.fillWidth: true
        implicitHeight: 40
        color: Theme.textPrimary
        placeholderTextColor: "#475569"
        font.family: Theme.fontFamily
        font.pixelSize: 14
        horizontalAlignment: TextInput.AlignLeft
        selectByMouse: true
        onAccepted: root.accepted()
        onTextEdited: {
            // The nearest MDialog's content column names the dialog.
            var key = "messageOwner"
            for (var p = root.parent; p; p = p.parent) {
                var owner = p[key]
                if (owner !== undefined) {
                    owner.message = ""
                    break
                }
            }
        }

        background: Rectangle {
            radius: 8
            color: Theme.inputBg
            border.width: 1
            border.color: input.activeFocus ? Theme.gold : Theme.borderColor
        }
    }
}
