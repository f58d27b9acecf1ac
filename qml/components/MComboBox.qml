import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A labelled choice in the theme; `placeholder` shows while nothing is chosen.
ColumnLayout {
    id: root

    property alias model: box.model
    property alias currentIndex: box.currentIndex
    property alias textRole: box.textRole
    property alias box: box
    property string label: ""
    property string placeholder: ""

    signal activated(int index)

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

    ComboBox {
        id: box
        objectName: root.objectName !== "" ? root.objectName + "Box" : ""
        Layout.fillWidth: true
        implicitHeight: 40
        font.family: Theme.fontFamily
        font.pixelSize: 14
        displayText: currentIndex < 0 ? root.placeholder : currentText
        onActivated: index => root.activated(index)

        contentItem: Label {
            // The arrow sits on the left when mirrored; the text keeps clear of it.
            leftPadding: box.mirrored ? box.indicator.width + 8 : 12
            rightPadding: box.mirrored ? 12 : box.indicator.width + 8
            text: box.displayText
            font: box.font
            color: box.currentIndex < 0 ? Theme.placeholder : Theme.textPrimary
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideRight
        }

        background: Rectangle {
            radius: 8
            color: Theme.inputBg
            border.width: 1
            border.color: box.activeFocus ? Theme.gold : Theme.borderColor
        }

        delegate: ItemDelegate {
            id: option
            required property int index
            required property var modelData
            // The popup lives in the window's overlay, outside the page's mirroring.
            LayoutMirroring.enabled: box.mirrored
            LayoutMirroring.childrenInherit: true
            width: box.width
            highlighted: box.highlightedIndex === index
            contentItem: Label {
                text: box.textRole !== "" && typeof option.modelData === "object"
                      ? Theme.text(option.modelData[box.textRole]) : Theme.text(option.modelData)
                font: box.font
                color: Theme.textPrimary
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            background: Rectangle {
                color: option.highlighted ? Theme.borderColor : Theme.bgCard
            }
        }

        popup.background: Rectangle {
            color: Theme.bgCard
            border.color: Theme.borderColor
            radius: 8
        }
    }
}
