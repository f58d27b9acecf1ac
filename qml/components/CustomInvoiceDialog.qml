import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme
import "Periods.js" as Periods

// An invoice of freely chosen service lines for one tenant.
MDialog {
    id: dialog

    property var currencies: []
    property var items: []
    readonly property var itemTypes: ["إيجار", "مياه", "كهرباء", "صيانة", "مصعد", "تنظيف", "خدمة أخرى"]
    readonly property real total: {
        var sum = 0
        for (var i = 0; i < items.length; ++i)
            sum += Number(items[i].total) || 0
        return sum
    }

    signal created

    title: "إنشاء فاتورة مخصصة"
    dialogWidth: 560

    onAboutToShow: {
        currencies = Theme.rows(currencyModel.getAll())
        tenantBox.clear()
        currencyBox.currentIndex = currencies.length > 0 ? 0 : -1
        periodField.text = Periods.currentPeriod()
        typeBox.currentIndex = 0
        itemAmountField.text = ""
        items = []
    }

    function addItem() {
        if (itemAmountField.text.trim() === "")
            return
        var amount = itemAmountField.amount
        if (isNaN(amount) || amount <= 0) {
            message = "أدخل مبلغ البند بأرقام موجبة"
            return
        }
        var list = items.slice()
        list.push({
            description: itemTypes[typeBox.currentIndex],
            type: "service",
            quantity: 1,
            unit_price: amount,
            total: amount
        })
        items = list
        itemAmountField.text = ""
        message = ""
    }

    function removeItem(index) {
        var list = items.slice()
        list.splice(index, 1)
        items = list
    }

    function issue() {
        var tenant = tenantBox.selected
        if (!tenant || items.length === 0) {
            message = "اختر المستأجر وأضف بنداً واحداً على الأقل"
            return
        }
        if (!Periods.isPeriod(periodField.text)) {
            message = "أدخل الفترة بالصيغة YYYY-MM"
            return
        }
        var currency = currencies[currencyBox.currentIndex]
        var id = invoiceModel.createInvoice(Number(tenant.id), 0, periodField.text, items,
                                            currency ? Number(currency.id) : 1)
        if (id > 0) {
            created()
            close()
        } else {
            message = invoiceModel.lastRefusal !== "" ? invoiceModel.lastRefusal : "تعذر إصدار الفاتورة"
        }
    }

    SearchPicker {
        id: tenantBox
        objectName: "customTenantBox"
        Layout.fillWidth: true
        kind: "tenant"
        label: "المستأجر:"
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: periodField
            objectName: "customPeriodField"
            Layout.fillWidth: true
            label: "الفترة"
            placeholderText: "YYYY-MM"
        }
        MComboBox {
            id: currencyBox
            objectName: "customCurrencyBox"
            Layout.fillWidth: true
            label: "العملة:"
            model: dialog.currencies
            textRole: "code"
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 8
        MComboBox {
            id: typeBox
            objectName: "customItemType"
            Layout.fillWidth: true
            Layout.preferredWidth: 3
            label: "البند"
            model: dialog.itemTypes
        }
        MTextField {
            id: itemAmountField
            objectName: "customItemAmount"
            Layout.fillWidth: true
            Layout.preferredWidth: 2
            label: "المبلغ"
            placeholderText: "0.00"
            onAccepted: dialog.addItem()
        }
        MButton {
            objectName: "addItemButton"
            needs: "write"
            Layout.alignment: Qt.AlignBottom
            text: "+"
            onClicked: dialog.addItem()
        }
    }
    Repeater {
        model: dialog.items
        delegate: Rectangle {
            id: itemRow
            required property var modelData
            required property int index
            Layout.fillWidth: true
            Layout.preferredHeight: 40
            radius: 8
            color: Theme.bgSecondary
            border.color: Theme.borderColor
            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 12
                anchors.rightMargin: 6
                Label {
                    Layout.fillWidth: true
                    text: itemRow.modelData.description
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    text: Theme.number(itemRow.modelData.total)
                    color: Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.bold: true
                }
                MButton {
                    objectName: "removeItemButton" + itemRow.index
                    implicitHeight: 28
                    leftPadding: 8
                    rightPadding: 8
                    text: "✕"
                    outline: true
                    btnColor: Theme.dangerColor
                    onClicked: dialog.removeItem(itemRow.index)
                }
            }
        }
    }
    RowLayout {
        Layout.fillWidth: true
        Label {
            Layout.fillWidth: true
            text: "الإجمالي:"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 14
            horizontalAlignment: Text.AlignLeft
        }
        Label {
            objectName: "customTotal"
            text: Theme.number(dialog.total)
            color: Theme.gold
            font.family: Theme.fontFamily
            font.pixelSize: 18
            font.bold: true
        }
    }
    MButton {
        objectName: "issueCustomInvoiceButton"
        needs: "write"
        Layout.fillWidth: true
        text: "إصدار الفاتورة"
        onClicked: dialog.issue()
    }
}
