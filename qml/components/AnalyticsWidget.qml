import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A bar chart: `data` is a list of maps with `label`, `value` and `color`; each bar's height is
// its value over `maxValue`. With `maxBars` set, only that many of the highest values are drawn:
// hundreds of bars would be too thin to read.
Control {
    id: chart

    property string title: ""
    property var data: []
    property real maxValue: 100
    property int maxBars: 0
    readonly property bool capped: maxBars > 0 && !!data && data.length > maxBars
    readonly property var shown: !data ? [] : !capped ? data
        : data.slice().sort((a, b) => (Number(b.value) || 0) - (Number(a.value) || 0)).slice(0, maxBars)

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
                model: chart.shown

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
