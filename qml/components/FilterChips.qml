import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A row of exclusive chips, used for tabs and filters. `model` holds the labels; chip i is
// named objectName + i, so tests can click it.
RowLayout {
    id: chips

    property var model: []
    property int currentIndex: 0

    signal selected(int index)

    spacing: 8

    Repeater {
        model: chips.model

        delegate: Button {
            id: chip
            required property var modelData
            required property int index
            readonly property bool current: chips.currentIndex === index
            objectName: chips.objectName !== "" ? chips.objectName + index : ""
            implicitHeight: 36
            leftPadding: 14
            rightPadding: 14
            hoverEnabled: true
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.bold: current
            text: String(modelData)
            onClicked: {
                chips.currentIndex = index
                chips.selected(index)
            }

            contentItem: Label {
                text: chip.text
                font: chip.font
                color: chip.current ? "#020617" : (chip.hovered ? Theme.textPrimary : Theme.textSecondary)
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            background: Rectangle {
                radius: 18
                color: chip.current ? Theme.gold : (chip.hovered ? "#1e293b" : Theme.bgCard)
                border.width: 1
                border.color: chip.current ? Theme.gold : Theme.borderColor
            }
        }
    }
}
