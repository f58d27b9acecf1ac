import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int buyerId: 0
    property string buyerName: ""
    property var currencies: []
    readonly property bool cash: paymentBox.currentIndex === 1
    readonly property int count: cash ? 1 : Math.max(1, parseInt(countField.text) || 1)
    // The regular installment as the sale splits it: whole cents, the last one takes the rest.
    readonly property real preview: Math.floor((Math.round((priceField.amount || 0) * 100)
                                                - Math.round((downField.amount || 0) * 100)) / count) / 100

    // Emitted after a sale was stored.
    signal sold

    function reload() {
        currencies = Theme.rows(currencyModel.getAll())
    }

    function logFailure(recordId, details) {
        auditMgr.log(0, "خطأ", "units", recordId, details)
    }

    function confirm() {
        var unit = unitBox.selected
        if (!unit) {
            logFailure(0, "فشل البيع: لم يتم اختيار وحدة")
            message = "اختر الوحدة المراد بيعها"
            return
        }
        var currency = currencies[currencyBox.currentIndex]
        if (!currency) {
            logFailure(0, "فشل البيع: لم يتم اختيار عملة")
            message = "اختر العملة"
            return
        }
        var price = priceField.amount
        var down = downField.text === "" ? 0 : downField.amount
        if (isNaN(price) || price <= 0 || isNaN(down) || down < 0 || down > price) {
            message = "أدخل سعر بيع ودفعة أولى صحيحين"
            return
        }
        if (dateField.date === "") {
            message = dateField.dateMessage("أدخل تاريخ البيع بالصيغة YYYY-MM-DD")
            return
        }
        var n = cash ? 0 : Math.max(1, parseInt(countField.text) || 1)
        var result = installmentModel.sellUnit(buyerId, Number(unit.id), price, down, n, dateField.date,
                                               Number(currency.id), chequeField.text, bankField.text)
        if (result > 0) {
            close()
            sold()
        } else {
            logFailure(Number(unit.id), "فشل إتمام عملية البيع في قاعدة البيانات")
            message = "فشل إتمام عملية البيع: الوحدة غير متاحة أو البيانات غير صالحة"
        }
    }

    title: "إتمام عملية بيع وحدة عقارية"
    dialogWidth: 600

    onBuyerIdChanged: reload()
    onAboutToShow: {
        reload()
        unitBox.clear()
        currencyBox.currentIndex = currencies.length > 0 ? 0 : -1
        paymentBox.currentIndex = 0
        priceField.text = ""
        downField.text = ""
        countField.text = "12"
        chequeField.text = ""
        bankField.text = ""
        dateField.text = Theme.today()
    }

    Label {
        Layout.fillWidth: true
        text: "المشتري: " + dialog.buyerName
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 15
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }

    SearchPicker {
        id: unitBox
        objectName: "saleUnitBox"
        Layout.fillWidth: true
        kind: "availableUnit"
        label: "الوحدة"
        placeholder: "ابحث برقم الوحدة أو اسم العقار..."
        onPicked: unit => {
            priceField.text = String(Number(unit.sale_price) || 0)
            if (dialog.cash)
                downField.text = priceField.text
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: priceField
            objectName: "salePriceField"
            Layout.fillWidth: true
            label: "سعر البيع الإجمالي"
        }
        MComboBox {
            id: paymentBox
            objectName: "salePaymentBox"
            Layout.fillWidth: true
            label: "طريقة الدفع"
            model: ["أقساط", "كاش (نقدي)"]
            onActivated: index => {
                if (index === 1)
                    downField.text = priceField.text
            }
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: downField
            objectName: "saleDownField"
            Layout.fillWidth: true
            label: dialog.cash ? "المبلغ المدفوع كاش" : "الدفعة الأولى (مقدم)"
        }
        MTextField {
            id: countField
            objectName: "saleCountField"
            Layout.fillWidth: true
            visible: !dialog.cash
            label: "عدد الأقساط"
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        visible: !dialog.cash
        MTextField {
            id: chequeField
            objectName: "saleChequeField"
            Layout.fillWidth: true
            label: "رقم أول شيك"
            placeholderText: "1001"
        }
        MTextField {
            id: bankField
            objectName: "saleBankField"
            Layout.fillWidth: true
            label: "اسم البنك"
        }
    }
    Label {
        Layout.fillWidth: true
        visible: !dialog.cash && chequeField.text.trim() !== ""
        text: "يُسجل شيك كل قسط في سجل الشيكات مرتبطاً بقسطه، ويُسجل تحصيل القسط عند صرف الشيك."
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: dateField
            objectName: "saleDateField"
            Layout.fillWidth: true
            label: "تاريخ البيع / بدء الأقساط"
        }
        MComboBox {
            id: currencyBox
            objectName: "saleCurrencyBox"
            Layout.fillWidth: true
            label: "العملة"
            placeholder: "اختر العملة..."
            model: dialog.currencies
            textRole: "code"
        }
    }

    Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: 48
        radius: 8
        color: Theme.bgSecondary
        border.color: Theme.borderColor

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 14
            anchors.rightMargin: 14
            Label {
                Layout.fillWidth: true
                text: dialog.cash ? "المتبقي بعد الدفع:" : "قيمة القسط الشهري:"
                color: Theme.textSecondary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            Label {
                objectName: "salePreview"
                text: Theme.money(isFinite(dialog.preview) ? dialog.preview : 0)
                color: Theme.gold
                font.family: Theme.fontFamily
                font.pixelSize: 16
                font.bold: true
            }
        }
    }

    MButton {
        objectName: "confirmSaleButton"
        needs: "write"
        Layout.fillWidth: true
        text: "تأكيد البيع وحفظ البيانات"
        onClicked: dialog.confirm()
    }
}
