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

        background: Rectangle {
            radius: 8
            color: Theme.inputBg
            border.width: 1
            border.color: input.activeFocus ? Theme.gold : Theme.borderColor
        }
    }
}
