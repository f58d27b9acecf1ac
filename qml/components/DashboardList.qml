import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A dashboard card listing a few rows: two lines each, an optional figure and a green tag.
Rectangle {
    id: card

    property string title: ""
    property string emptyText: ""
    property var model: []
    property var lineOne: row => ""
    property var lineTwo: row => ""
    property var sideText: null
    property string tagText: ""

    implicitHeight: column.implicitHeight + 40
    radius: 12
    color: Theme.bgCard
    border.color: Theme.borderColor

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 20
        spacing: 10

        Label {
            Layout.fillWidth: true
            text: card.title
            color: Theme.textPrimary
            font.family: Theme.fontFamily
            font.pixelSize: 16
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }

        Label {
            Layout.fillWidth: true
            visible: !card.model || card.model.length === 0
            text: card.emptyText
            color: Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }

        Repeater {
            model: card.model ? card.model : []

            delegate: RowLayout {
                id: line
                required property var modelData
                Layout.fillWidth: true
                spacing: 8

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    Label {
                        Layout.fillWidth: true
                        text: card.lineOne(line.modelData)
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                    Label {
                        Layout.fillWidth: true
                        text: card.lineTwo(line.modelData)
                        color: Theme.textMuted
                        font.family: Theme.fontFamily
                        font.pixelSize: 11
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                ColumnLayout {
                    visible: card.sideText !== null || card.tagText !== ""
                    spacing: 2
                    Label {
                        Layout.alignment: Qt.AlignRight
                        visible: card.sideText !== null
                        text: card.sideText !== null ? card.sideText(line.modelData) : ""
                        color: Theme.successColor
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        font.bold: true
                    }
                    Rectangle {
                        Layout.alignment: Qt.AlignRight
                        visible: card.tagText !== ""
                        implicitWidth: tag.implicitWidth + 12
                        implicitHeight: tag.implicitHeight + 4
                        radius: 4
                        color: "#1422c55e"
                        Label {
                            id: tag
                            anchors.centerIn: parent
                            text: card.tagText
                            color: Theme.successColor
                            font.family: Theme.fontFamily
                            font.pixelSize: 11
                        }
                    }
                }
            }
        }
    }
}
