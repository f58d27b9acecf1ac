import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A bar chart: `data` is a list of maps with `label`, `value` and `color`; each bar's height is
// its value over `maxValue`.
Control {
    id: chart

    property string title: ""
    property var data: []
    property real maxValue: 100

    implicitWidth: 400
    implicitHeight: 280
    padding: 20

    background: Rectangle {
        radius: 12
        color: Theme.bgCard
        border.color: Theme.borderColor
        border.width: 1
    }

    contentItem: ColumnLayout {
        spacing: 12

        Label {
            Layout.fillWidth: true
            text: chart.title
            color: Theme.textPrimary
            font.family: Theme.fontFamily
            font.pixelSize: 16
            font.bold: true
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 12

            Repeater {
                model: chart.data ? chart.data : []

                delegate: ChartBar {
                    required property var modelData
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.preferredWidth: 10
                    label: Theme.text(modelData.label)
                    value: Number(modelData.value) || 0
                    barColor: modelData.color ? modelData.color : Theme.gold
                    maxValue: chart.maxValue
                }
            }
        }
    }
}
