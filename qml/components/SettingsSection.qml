import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A titled card of the settings page; `status` shows a short result line under the content.
Rectangle {
    id: section

    property string title: ""
    property string status: ""
    property color statusColor: Theme.successColor
    default property alias content: body.data

    implicitHeight: column.implicitHeight + 36
    radius: 12
    color: Theme.bgCard
    border.color: Theme.borderColor

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 18
        spacing: 12

        Label {
            Layout.fillWidth: true
            text: section.title
            color: Theme.gold
            font.family: Theme.fontFamily
            font.pixelSize: 16
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }
        ColumnLayout {
            id: body
            Layout.fillWidth: true
            spacing: 10
        }
        Label {
            objectName: section.objectName !== "" ? section.objectName + "Status" : ""
            Layout.fillWidth: true
            visible: section.status !== ""
            text: section.status
            color: section.statusColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }
    }
}
