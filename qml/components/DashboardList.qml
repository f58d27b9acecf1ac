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

            // Plain items rather than controls and layouts: the dashboard builds these rows on
            // every visit, and on a busy portfolio every list is full.
            delegate: Item {
                id: line
                required property var modelData
                Layout.fillWidth: true
                implicitHeight: Math.max(texts.implicitHeight, side.active ? side.implicitHeight : 0)

                Column {
                    id: texts
                    anchors.left: parent.left
                    anchors.right: side.active ? side.left : parent.right
                    anchors.rightMargin: side.active ? 8 : 0
                    spacing: 2
                    Text {
                        width: parent.width
                        text: card.lineOne(line.modelData)
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        width: parent.width
                        text: card.lineTwo(line.modelData)
                        color: Theme.textMuted
                        font.family: Theme.fontFamily
                        font.pixelSize: 11
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Loader {
                    id: side
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    active: card.sideText !== null || card.tagText !== ""
                    sourceComponent: Column {
                        spacing: 2
                        Text {
                            visible: card.sideText !== null
                            text: card.sideText !== null ? card.sideText(line.modelData) : ""
                            color: Theme.successColor
                            font.family: Theme.fontFamily
                            font.pixelSize: 13
                            font.bold: true
                        }
                        Rectangle {
                            visible: card.tagText !== ""
                            width: tag.implicitWidth + 12
                            height: tag.implicitHeight + 4
                            radius: 4
                            color: "#1422c55e"
                            Text {
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
}
