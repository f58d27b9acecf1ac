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
    padding: 0

    background: Rectangle {
        radius: 12
        color: Theme.bgCard
        border.color: Theme.borderColor
        border.width: 1
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
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
            id: bars
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 12

            Repeater {
                model: chart.data ? chart.data : []

                delegate: ColumnLayout {
                    id: bar
                    required property var modelData
                    readonly property real ratio: chart.maxValue > 0
                        ? Math.max(0, Math.min(1, Number(modelData.value) / chart.maxValue)) : 0

                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.preferredWidth: 10
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
                            color: bar.modelData.color ? bar.modelData.color : Theme.gold

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
                            text: Number(bar.modelData.value).toLocaleString(Qt.locale(), 'f', 0)
                            color: Theme.textSecondary
                            font.family: Theme.fontFamily
                            font.pixelSize: 11
                        }
                    }

                    Label {
                        Layout.fillWidth: true
                        text: Theme.text(bar.modelData.label)
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignHCenter
                        elide: Text.ElideRight
                    }
                }
            }
        }
    }
}
