import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// One bar of AnalyticsWidget: its height is value over maxValue, the value above it, the label
// below.
ColumnLayout {
    id: bar

    property string label: ""
    property real value: 0
    property real maxValue: 100
    property color barColor: Theme.gold
    readonly property real ratio: maxValue > 0 ? Math.max(0, Math.min(1, value / maxValue)) : 0

    spacing: 4

    Item {
        Layout.fillHeight: true
        Layout.fillWidth: true

        Rectangle {
            id: column
            anchors.bottom: parent.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(parent.width, 48)
            height: Math.max(2, (parent.height - valueLabel.height - 4) * bar.ratio)
            radius: 6
            color: bar.barColor

            Behavior on height {
                NumberAnimation {
                    duration: 400
                    easing.type: Easing.OutCubic
                }
            }
        }
        Label {
            id: valueLabel
            anchors.bottom: column.top
            anchors.bottomMargin: 4
            anchors.horizontalCenter: parent.horizontalCenter
            text: bar.value.toLocaleString(Qt.locale(), 'f', 0)
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 11
        }
    }

    Label {
        Layout.fillWidth: true
        text: bar.label
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 12
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
    }
}
