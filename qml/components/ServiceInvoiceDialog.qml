import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme
import "Periods.js" as Periods

// One flat service invoice for every tenant of a property.
MDialog {
    id: dialog

    property var properties: []
    property var currencies: []
    readonly property var services: ["مياه", "كهرباء", "صيانة عامة", "تنظيف", "مصعد", "حراسة", "خدمة أخرى"]

    signal issued(int count)

    title: "فاتورة خدمة جماعية"
    dialogWidth: 520

    onAboutToShow: {
        properties = Theme.rows(propertyModel.getAll())
        currencies = Theme.rows(currencyModel.getAll())
        propertyBox.currentIndex = -1
        serviceBox.currentIndex = 0
        currencyBox.currentIndex = currencies.length > 0 ? 0 : -1
        amountField.text = ""
        periodField.text = Periods.currentPeriod()
    }

    function issue() {
        var prop = properties[propertyBox.currentIndex]
        if (!prop) {
            message = "اختر العقار"
            return
        }
        var amount = amountField.amount
        if (isNaN(amount) || amount <= 0) {
            message = "أدخل المبلغ لكل مستأجر بأرقام موجبة"
            return
        }
        if (!Periods.isPeriod(periodField.text)) {
            message = "أدخل الفترة بالصيغة YYYY-MM"
            return
        }
        var currency = currencies[currencyBox.currentIndex]
        var count = invoiceModel.generatePropertyServiceInvoice(Number(prop.id),
                        services[serviceBox.currentIndex], amount, periodField.text,
                        currency ? Number(currency.id) : 1)
        if (count === 0 && invoiceModel.lastRefusal !== "") {
            message = invoiceModel.lastRefusal
            return
        }
        close()
        issued(count)
    }

    MComboBox {
        id: propertyBox
        objectName: "servicePropertyBox"
        Layout.fillWidth: true
        label: "العقار/المشروع:"
        placeholder: "اختر عقاراً..."
        model: dialog.properties
        textRole: "name"
    }
    MComboBox {
        id: serviceBox
        objectName: "serviceTypeBox"
        Layout.fillWidth: true
        label: "الخدمة"
        model: dialog.services
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: amountField
            objectName: "serviceAmountField"
            Layout.fillWidth: true
            label: "المبلغ لكل مستأجر"
            placeholderText: "0.00"
        }
        MComboBox {
            id: currencyBox
            objectName: "serviceCurrencyBox"
            Layout.fillWidth: true
            label: "العملة:"
            model: dialog.currencies
            textRole: "code"
        }
    }
    MTextField {
        id: periodField
        objectName: "servicePeriodField"
        Layout.fillWidth: true
        label: "الفترة (YYYY-MM)"
        placeholderText: "YYYY-MM"
    }
    Label {
        Layout.fillWidth: true
        text: "سيتم إصدار فاتورة منفصلة لكل مستأجر في العقار، ولا تتكرر لمن صدرت له فاتورة الخدمة نفسها لهذه الفترة"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MButton {
        objectName: "issueServiceButton"
        needs: "write"
        Layout.fillWidth: true
        text: "إصدار فواتير لجميع مستأجري العقار"
        onClicked: dialog.issue()
    }
}
