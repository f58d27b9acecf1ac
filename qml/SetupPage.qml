import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page
    objectName: "setupPage"

    signal setupComplete

    readonly property var currencies: [
        { code: "ILS", label: "شيكل إسرائيلي", symbol: "₪" },
        { code: "USD", label: "دولار أمريكي", symbol: "$" },
        { code: "JOD", label: "دينار أردني", symbol: "د.ا" }
    ]

    function finish() {
        var code = "ILS"
        var checked = choices.checkedButton
        if (checked && checked.text !== "")
            code = checked.text
        settingsManager.setPrimaryCurrency(code)
        settingsManager.completeSetup()
        page.setupComplete()
    }

    color: "#0a0e1a"

    ButtonGroup {
        id: choices
        exclusive: true
    }

    ColumnLayout {
        width: 460
        anchors.centerIn: parent
        spacing: 16

        Label {
            Layout.fillWidth: true
            text: "إعداد النظام"
            color: Theme.accentGold
            font.family: Theme.fontFamily
            font.pixelSize: 32
            font.bold: true
            horizontalAlignment: Text.AlignHCenter
        }
        Label {
            Layout.fillWidth: true
            text: "اختر العملة الأساسية للنظام"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 16
            horizontalAlignment: Text.AlignHCenter
        }

        Repeater {
            model: page.currencies

            delegate: AbstractButton {
                id: choice
                required property int index
                required property var modelData

                objectName: "currencyChoice" + modelData.code
                Layout.fillWidth: true
                implicitHeight: 64
                text: modelData.code
                checkable: true
                checked: index === 0
                ButtonGroup.group: choices

                background: Rectangle {
                    radius: 12
                    color: choice.checked ? "#1e293b" : Theme.bgCard
                    border.width: choice.checked ? 2 : 1
                    border.color: choice.checked ? Theme.gold : Theme.borderColor
                }
                contentItem: RowLayout {
                    spacing: 14

                    Rectangle {
                        Layout.leftMargin: 16
                        Layout.preferredWidth: 40
                        Layout.preferredHeight: 40
                        radius: 20
                        color: "#0f172a"
                        Label {
                            anchors.centerIn: parent
                            text: choice.modelData.symbol
                            color: Theme.gold
                            font.family: Theme.fontFamily
                            font.pixelSize: 18
                            font.bold: true
                        }
                    }
                    Label {
                        Layout.fillWidth: true
                        text: choice.modelData.label
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 16
                        horizontalAlignment: Text.AlignLeft
                    }
                    Label {
                        Layout.rightMargin: 16
                        text: choice.modelData.code
                        color: Theme.textMuted
                        font.pixelSize: 13
                    }
                }
            }
        }

        MButton {
            objectName: "startButton"
            Layout.fillWidth: true
            Layout.topMargin: 8
            Layout.preferredHeight: 46
            text: "بدء استخدام النظام"
            onClicked: page.finish()
        }
    }
}
