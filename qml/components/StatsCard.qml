import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

Rectangle {
    id: card

    property string title: ""
    property string value: "0"
    property string subtitle: ""
    // While the figure is still being added up: the card shows an ellipsis instead.
    property bool loading: false
    property string icon: ""
    property color iconBg: "#1e293b"
    property color iconColor: "#C5A059"

    implicitWidth: 220
    // Tall enough for the subtitle too, which would otherwise hang below the card.
    implicitHeight: Math.max(110, cardContent.implicitHeight + 32)
    radius: 12
    color: Theme.bgCard
    border.color: hover.hovered ? Theme.gold : Theme.borderColor
    border.width: 1
    scale: hover.hovered ? 1.02 : 1.0

    Behavior on scale {
        NumberAnimation {
            duration: 150
        }
    }

    HoverHandler {
        id: hover
    }

    RowLayout {
        id: cardContent
        anchors.fill: parent
        anchors.margins: 16
        spacing: 12

        Rectangle {
            Layout.preferredWidth: 48
            Layout.preferredHeight: 48
            Layout.alignment: Qt.AlignTop
            radius: 12
            color: card.iconBg

            Label {
                anchors.centerIn: parent
                text: card.icon
                color: card.iconColor
                font.pixelSize: 22
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 4

            Label {
                Layout.fillWidth: true
                text: card.title
                color: Theme.textSecondary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
            Label {
                objectName: "statsValue"
                Layout.fillWidth: true
                text: card.loading ? "…" : card.value
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 22
                font.bold: true
                // Large sums shrink to fit instead of being cut.
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 12
                horizontalAlignment: Text.AlignLeft
            }
            Label {
                Layout.fillWidth: true
                visible: card.subtitle !== ""
                text: card.subtitle
                color: Theme.textMuted
                font.family: Theme.fontFamily
                font.pixelSize: 12
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
        }
    }
}
