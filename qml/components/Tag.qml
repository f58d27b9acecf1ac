import QtQuick
import QtQuick.Controls
import "Theme.js" as Theme

// A small coloured status tag.
Rectangle {
    id: tag

    property alias text: label.text
    property color tagColor: Theme.gold

    implicitWidth: label.implicitWidth + 16
    implicitHeight: label.implicitHeight + 6
    radius: 6
    color: Qt.rgba(tagColor.r, tagColor.g, tagColor.b, 0.15)
    border.width: 1
    border.color: Qt.rgba(tagColor.r, tagColor.g, tagColor.b, 0.4)

    Label {
        id: label
        anchors.centerIn: parent
        color: tag.tagColor
        font.family: Theme.fontFamily
        font.pixelSize: 11
        font.bold: true
    }
}
