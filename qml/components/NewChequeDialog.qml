import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property var currencies: []
    readonly property var types: ["received", "issued"]
    // A cheque not yet at the bank being corrected (type and currency stay), or null.
    property var cheque: null

    signal saved

    function clear() {
        numberField.text = ""
        bankField.text = ""
        amountField.text = ""
        rateField.text = "1.0"
        dueField.text = Theme.today()
        nameField.text = ""
    }

    function openFor(row) {
        if (row) {
            typeChips.currentIndex = Math.max(0, types.indexOf(row.type))
            numberField.text = Theme.text(row.cheque_number)
            bankField.text = Theme.text(row.bank_name)
            amountField.text = Theme.text(row.amount)
            dueField.text = Theme.text(row.due_date)
            nameField.text = Theme.text(row.type === "issued" ? row.payee_name : row.payer_name)
        } else if (cheque) {
            clear()
        }
        cheque = row
        open()
    }

    function save() {
        var amount = amountField.amount
        var rate = rateField.amount
        if (numberField.text.trim() === "" || isNaN(amount) || amount <= 0) {
            message = "أدخل رقم الشيك ومبلغاً صحيحاً"
            return
        }
        if (isNaN(rate) || rate <= 0) {
            message = "أدخل سعر صرف صحيحاً"
            return
        }
        var currency = currencies[currencyBox.currentIndex]
        if (!currency && !cheque) {
            message = "اختر العملة"
            return
        }
        if (dueField.date === "") {
            message = dueField.dateMessage("أدخل تاريخ الاستحقاق بالصيغة YYYY-MM-DD")
            return
        }
        var stored = cheque
                ? chequeModel.update(Number(cheque.id), numberField.text, amount, bankField.text,
                                     dueField.date, nameField.text)
                : chequeModel.add(numberField.text, types[typeChips.currentIndex], amount,
                                  bankField.text, dueField.date, nameField.text,
                                  Number(currency.id), rate) > 0
        if (stored) {
            saved()
            close()
            clear()
        } else {
            message = "تعذر حفظ الشيك"
        }
    }

    title: cheque ? "تعديل الشيك " + Theme.text(cheque.cheque_number) : "تسجيل شيك جديد"
    dialogWidth: 540

    onAboutToShow: {
        currencies = Theme.rows(currencyModel.getAll())
        if (currencyBox.currentIndex < 0 && currencies.length > 0)
            currencyBox.currentIndex = 0
        if (dueField.text === "")
            dueField.text = Theme.today()
    }

    FilterChips {
        id: typeChips
        objectName: "chequeType"
        enabled: dialog.cheque === null
        model: ["شيك مقبوض (وارد)", "شيك مدفوع (صادر)"]
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: numberField
            objectName: "newChequeNumberField"
            Layout.fillWidth: true
            label: "رقم الشيك"
        }
        MTextField {
            id: bankField
            objectName: "newChequeBankField"
            Layout.fillWidth: true
            label: "اسم البنك"
        }
    }
    MTextField {
        id: amountField
        objectName: "newChequeAmountField"
        Layout.fillWidth: true
        label: "المبلغ"
        placeholderText: "0.00"
    }
    RowLayout {
        Layout.fillWidth: true
        visible: dialog.cheque === null
        spacing: 12
        MComboBox {
            id: currencyBox
            objectName: "newChequeCurrencyBox"
            Layout.fillWidth: true
            label: "العملة:"
            placeholder: "اختر العملة..."
            model: dialog.currencies
            textRole: "code"
        }
        MTextField {
            id: rateField
            objectName: "newChequeRateField"
            Layout.fillWidth: true
            label: "سعر الصرف"
            text: "1.0"
        }
    }
    MTextField {
        id: dueField
        objectName: "newChequeDueField"
        Layout.fillWidth: true
        label: "تاريخ الاستحقاق (YYYY-MM-DD)"
        placeholderText: "YYYY-MM-DD"
    }
    MTextField {
        id: nameField
        objectName: "newChequeNameField"
        Layout.fillWidth: true
        label: "اسم الساحب / المستفيد"
    }
    MButton {
        objectName: "saveNewChequeButton"
        needs: "write"
        Layout.fillWidth: true
        Layout.topMargin: 4
        text: "حفظ الشيك"
        onClicked: dialog.save()
    }
}
