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

    // The data is to move (to a server, or back to this computer): that applies at the next
    // start, and the rest of the set-up then happens there.
    readonly property bool moving: location.serverPicked !== serverSettings.runningOnServer
    property bool movingSaved: false

    // Every currency of the database, for the rates asked against the chosen primary one.
    property var stored: []
    property string chosen: "ILS"
    readonly property var others: stored.filter(c => c.code !== chosen)
    property string message: ""

    // What was typed in each rate field, by currency code.
    property var typedRates: ({})
    readonly property string chosenName: {
        var primary = stored.find(c => c.code === chosen)
        return primary ? primary.name_ar : chosen
    }

    // Nothing is stored until every answer reads: a name, and a rate for each other currency.
    function finish() {
        var name = nameField.text.trim()
        if (name === "") {
            message = "أدخل اسم الشركة أو اسمك كما يظهر على المستندات"
            return
        }
        var primary = stored.find(c => c.code === chosen)
        var answers = []
        for (var i = 0; i < others.length; ++i) {
            var rate = inputConverter.amount(Theme.text(typedRates[others[i].code]))
            if (!(rate > 0)) {
                message = "أدخل سعر صرف " + others[i].name_ar + " مقابل " + chosenName
                        + " (رقم أكبر من صفر)"
                return
            }
            answers.push({ id: Number(others[i].id), rate: rate })
        }
        message = ""
        settingsManager.setPrimaryCurrency(chosen)
        settingsManager.updateCompanyProfile(name, settingsManager.companyPhone,
                                             settingsManager.companyAddress,
                                             settingsManager.companyEmail)
        for (var j = 0; j < answers.length; ++j)
            settingsManager.updateExchangeRate(answers[j].id, Number(primary.id), answers[j].rate)
        settingsManager.completeSetup()
        page.setupComplete()
    }

    onChosenChanged: typedRates = ({})
    Component.onCompleted: {
        stored = Theme.rows(settingsManager.getCurrencies())
        if (settingsManager.primaryCurrency !== "")
            chosen = settingsManager.primaryCurrency
        nameField.text = settingsManager.companyName
    }

    color: "#0a0e1a"

    ButtonGroup {
        id: choices
        exclusive: true
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentHeight: Math.max(height, column.implicitHeight + 64)
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        // Shown whenever the page is taller than the window, so the start button is found.
        ScrollBar.vertical: ScrollBar {
            policy: flick.contentHeight > flick.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        }

        ColumnLayout {
            id: column
            width: 520
            x: (flick.width - width) / 2
            y: Math.max(32, (flick.height - implicitHeight) / 2)
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
            ServerSettingsView {
                id: location
                Layout.fillWidth: true
                onSaved: page.movingSaved = page.moving
                onServerPickedChanged: page.movingSaved = false
            }
            Label {
                objectName: "setupRestartHint"
                Layout.fillWidth: true
                visible: page.moving
                text: page.movingSaved
                      ? "أغلق البرنامج ثم افتحه من جديد: يفتح على مكان البيانات المختار، وهناك يُكمل الإعداد."
                      : "احفظ مكان البيانات أعلاه؛ يُكمل الإعداد بعد إعادة تشغيل البرنامج."
                color: Theme.textSecondary
                font.family: Theme.fontFamily
                font.pixelSize: 14
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
            }
            MButton {
                objectName: "setupQuitButton"
                Layout.fillWidth: true
                Layout.preferredHeight: 46
                visible: page.moving && page.movingSaved
                text: "إغلاق البرنامج"
                onClicked: Qt.quit()
            }
            MTextField {
                id: nameField
                objectName: "setupCompanyName"
                Layout.fillWidth: true
                visible: !page.moving
                label: "اسم الشركة أو المالك"
            }
            Label {
                Layout.fillWidth: true
                visible: !page.moving
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
                    visible: !page.moving
                    implicitHeight: 52
                    text: modelData.code
                    checkable: true
                    checked: modelData.code === page.chosen
                    onClicked: page.chosen = modelData.code
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

            Repeater {
                id: rates
                model: page.others

                delegate: MTextField {
                    required property var modelData

                    objectName: "setupRate" + modelData.code
                    Layout.fillWidth: true
                    visible: !page.moving
                    label: "سعر الصرف: 1 " + modelData.name_ar + " = كم " + page.chosenName + "؟"
                    onTextChanged: page.typedRates[modelData.code] = text
                }
            }

            Label {
                objectName: "setupMessage"
                Layout.fillWidth: true
                visible: page.message !== "" && !page.moving
                text: page.message
                color: Theme.dangerColor
                wrapMode: Text.WordWrap
                font.family: Theme.fontFamily
                font.pixelSize: 13
            }

            MButton {
                objectName: "startButton"
                Layout.fillWidth: true
                visible: !page.moving
                Layout.topMargin: 8
                Layout.preferredHeight: 46
                text: "بدء استخدام النظام"
                onClicked: page.finish()
            }
        }
    }
}
