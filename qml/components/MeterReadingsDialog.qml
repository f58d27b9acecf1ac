import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme
import "Periods.js" as Periods

// The month's meter readings of one property, typed from the keyboard: Enter moves down.
// A row left empty is not stored.
MDialog {
    id: dialog

    property var properties: []
    property int propertyId: 0
    property string period: ""
    // The sheet's rows, each with `typed` (the text entered) and `replaced` added.
    property var entries: []
    property int lateCount: 0
    // Bumped on every edit so that the totals are read again.
    property int edits: 0

    signal issued(int count)

    function load() {
        var sheet = Theme.rows(serviceModel.readingSheet(propertyId, period))
        var late = 0
        for (var i = 0; i < sheet.length; ++i) {
            sheet[i].typed = sheet[i].record_id ? String(sheet[i].current_reading) : ""
            sheet[i].replaced = Number(sheet[i].meter_replaced) === 1
            if (Number(sheet[i].late) === 1)
                ++late
        }
        lateCount = late
        entries = sheet
        edits++
    }

    // The row at `index`, or an empty one while the list is being replaced.
    function entry(index) {
        return entries[index] || ({ typed: "", replaced: false })
    }

    // Consumption of a row as typed, or NaN when it has no usable reading.
    function consumption(row) {
        if (!row.typed)
            return NaN
        var value = inputConverter.amount(row.typed)
        if (isNaN(value))
            return NaN
        return row.replaced ? value : Math.round((value - Number(row.previous_reading)) * 1000) / 1000
    }

    function costCents(row) {
        var used = consumption(row)
        return isNaN(used) || used < 0 ? 0 : Math.round(used * Number(row.rate) * 100)
    }

    function totals() {
        var cents = 0
        var counted = 0
        for (var i = 0; i < entries.length; ++i) {
            if (!isNaN(consumption(entries[i]))) {
                cents += costCents(entries[i])
                ++counted
            }
        }
        return { cost: cents / 100, counted: counted }
    }

    function save() {
        var rows = []
        for (var i = 0; i < entries.length; ++i) {
            var row = entries[i]
            if (row.typed === "")
                continue
            var value = inputConverter.amount(row.typed)
            rows.push({ unit_id: Number(row.unit_id), service_id: Number(row.service_id),
                        current_reading: isNaN(value) ? row.typed : value, meter_replaced: row.replaced })
        }
        var saved = serviceModel.saveReadings(propertyId, period, rows)
        if (saved < 0) {
            message = serviceModel.lastRefusal
            messageColor = Theme.dangerColor
            return
        }
        load()
        messageColor = Theme.successColor
        message = saved > 0 ? "تم حفظ " + saved + " قراءة" : "لا توجد قراءات جديدة للحفظ"
    }

    function billLate() {
        var count = invoiceModel.billLateReadings(propertyId, period)
        if (count === 0 && invoiceModel.lastRefusal !== "") {
            messageColor = Theme.dangerColor
            message = invoiceModel.lastRefusal
            return
        }
        close()
        issued(count)
    }

    function moveDown(index) {
        var next = index + 1
        if (next >= entries.length)
            return
        sheetList.positionViewAtIndex(next, ListView.Contain)
        var item = sheetList.itemAtIndex(next)
        if (item)
            item.focusReading()
    }

    title: "قراءات العدادات"
    dialogWidth: 980

    onAboutToShow: {
        properties = Theme.rows(propertyModel.getAll())
        if (propertyId < 1 && properties.length > 0)
            propertyId = Number(properties[0].id)
        for (var i = 0; i < properties.length; ++i) {
            if (Number(properties[i].id) === propertyId)
                propertyBox.currentIndex = i
        }
        periodField.text = Periods.currentPeriod()
        period = periodField.text
        messageColor = Theme.dangerColor
        load()
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MComboBox {
            id: propertyBox
            objectName: "readingsPropertyBox"
            Layout.fillWidth: true
            Layout.preferredWidth: 3
            label: "العقار"
            model: dialog.properties
            textRole: "name"
            onActivated: index => {
                dialog.propertyId = Number(dialog.properties[index].id)
                dialog.load()
            }
        }
        MTextField {
            id: periodField
            objectName: "readingsPeriodField"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            label: "الفترة (YYYY-MM)"
            onAccepted: showButton.clicked()
        }
        MButton {
            id: showButton
            objectName: "readingsShowButton"
            Layout.alignment: Qt.AlignBottom
            text: "عرض"
            outline: true
            onClicked: {
                if (!Periods.isPeriod(periodField.text)) {
                    dialog.message = "أدخل الفترة بالصيغة YYYY-MM"
                    return
                }
                dialog.period = periodField.text
                dialog.message = ""
                dialog.load()
            }
        }
    }

    // Column titles; the widths match the delegate's.
    RowLayout {
        Layout.fillWidth: true
        Layout.topMargin: 6
        spacing: 8
        Repeater {
            model: [["الوحدة", 1], ["المستأجر", 2], ["الخدمة", 1.3], ["السابقة", 1.2],
                ["الحالية", 1.4], ["عداد جديد", 1], ["الاستهلاك", 1.2], ["التكلفة", 1.2]]
            Label {
                required property var modelData
                Layout.fillWidth: true
                Layout.preferredWidth: modelData[1] * 100
                text: modelData[0]
                color: Theme.textSecondary
                font.family: Theme.fontFamily
                font.pixelSize: 12
                font.bold: true
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
        }
    }

    ListView {
        id: sheetList
        objectName: "readingsList"
        Layout.fillWidth: true
        // Short enough on a small window that the totals and buttons stay in view.
        Layout.preferredHeight: Math.min(Math.max(dialog.entries.length, 1) * 40,
                                         Math.max(160, (Overlay.overlay ? Overlay.overlay.height : 800) - 450))
        clip: true
        model: dialog.entries
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        delegate: Rectangle {
            id: sheetRow
            required property var modelData
            required property int index
            readonly property bool locked: Number(modelData.locked) === 1
            property int edits: dialog.edits

            function focusReading() {
                readingField.forceActiveFocus()
                readingField.selectAll()
            }

            width: sheetList.width
            height: 40
            color: index % 2 === 0 ? "transparent" : Theme.bgSecondary

            RowLayout {
                anchors.fill: parent
                spacing: 8
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 100
                    text: Theme.text(sheetRow.modelData.unit_number)
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 200
                    text: Theme.text(sheetRow.modelData.tenant_name) || "—"
                    color: Theme.textSecondary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 130
                    text: Theme.text(sheetRow.modelData.service_name)
                    color: Theme.textSecondary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                    text: Theme.number(sheetRow.modelData.previous_reading)
                    color: Theme.textSecondary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                TextField {
                    id: readingField
                    objectName: "readingField" + sheetRow.index
                    Layout.fillWidth: true
                    Layout.preferredWidth: 140
                    Layout.preferredHeight: 32
                    text: dialog.entry(sheetRow.index).typed
                    readOnly: sheetRow.locked
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    color: Theme.textPrimary
                    inputMethodHints: Qt.ImhFormattedNumbersOnly
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: TextInput.AlignVCenter
                    topPadding: 0
                    bottomPadding: 0
                    background: Rectangle {
                        radius: 6
                        color: sheetRow.locked ? "transparent" : Theme.bgPrimary
                        border.color: readingField.activeFocus ? Theme.gold : Theme.borderColor
                    }
                    onTextEdited: {
                        dialog.entry(sheetRow.index).typed = text
                        dialog.edits++
                    }
                    Keys.onReturnPressed: dialog.moveDown(sheetRow.index)
                    Keys.onEnterPressed: dialog.moveDown(sheetRow.index)
                }
                Item {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 100
                    Layout.fillHeight: true
                    CheckBox {
                        objectName: "replacedBox" + sheetRow.index
                        anchors.centerIn: parent
                        enabled: !sheetRow.locked
                        checked: dialog.entry(sheetRow.index).replaced
                        onToggled: {
                            dialog.entry(sheetRow.index).replaced = checked
                            dialog.edits++
                        }
                    }
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                    text: {
                        var used = sheetRow.edits >= 0 ? dialog.consumption(dialog.entry(sheetRow.index)) : NaN
                        return isNaN(used) ? "—" : Theme.number(used)
                    }
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                    text: sheetRow.locked ? "✓ " + Theme.number(sheetRow.modelData.cost)
                                          : sheetRow.edits >= 0 && !isNaN(dialog.consumption(dialog.entry(sheetRow.index)))
                                            ? Theme.number(dialog.costCents(dialog.entry(sheetRow.index)) / 100) : "—"
                    color: Number(sheetRow.modelData.late) === 1 ? Theme.warningColor : Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
            }
        }
    }

    Label {
        Layout.fillWidth: true
        visible: dialog.entries.length === 0
        text: "لا توجد وحدات أو خدمات تُحسب بالاستهلاك لهذا العقار"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    RowLayout {
        Layout.fillWidth: true
        Layout.topMargin: 4
        Label {
            objectName: "readingsTotal"
            Layout.fillWidth: true
            text: {
                var t = dialog.edits >= 0 ? dialog.totals() : { cost: 0, counted: 0 }
                return "القراءات: " + t.counted + " من " + dialog.entries.length
                        + "    إجمالي التكلفة: " + Theme.money(t.cost)
            }
            color: Theme.textPrimary
            font.family: Theme.fontFamily
            font.pixelSize: 14
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }
    }
    Label {
        Layout.fillWidth: true
        visible: dialog.lateCount > 0
        text: "صدرت فاتورة إيجار هذا الشهر قبل " + dialog.lateCount
              + " من القراءات؛ تُفوتر في فاتورة خدمة مستقلة."
        color: Theme.warningColor
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MButton {
            objectName: "saveReadingsButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ القراءات"
            onClicked: dialog.save()
        }
        MButton {
            objectName: "billLateReadingsButton"
            needs: "write"
            visible: dialog.lateCount > 0
            Layout.fillWidth: true
            outline: true
            text: "إصدار فاتورة خدمة للقراءات المتأخرة"
            onClicked: dialog.billLate()
        }
    }
}
