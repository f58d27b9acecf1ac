import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A payment to a contractor against what the expenses left owing to them.
MDialog {
    id: dialog

    property var contractor: null
    readonly property var methods: ["cash", "bank", "cheque"]
    readonly property real balance: contractor ? Number(contractor.balance) || 0 : 0

    signal paid

    function openFor(row) {
        contractor = row
        open()
    }

    function save() {
        var amount = amountField.amount
        if (isNaN(amount) || amount <= 0) {
            message = "أدخل مبلغاً صحيحاً أكبر من صفر"
            return
        }
        if (dateField.date === "") {
            message = dateField.dateMessage("أدخل التاريخ بالصيغة YYYY-MM-DD")
            return
        }
        if (dateField.date > Theme.today()) {
            message = "لا يمكن تسجيل دفعة بتاريخ مستقبلي"
            return
        }
        var id = expenseModel.payContractor(Number(contractor.id), amount, dateField.date,
                                            methods[Math.max(0, methodChips.currentIndex)],
                                            notesField.text)
        if (id > 0) {
            paid()
            close()
        } else {
            message = "المبلغ أكبر من الرصيد المستحق للمقاول (" + Theme.number(balance) + ")"
        }
    }

    title: "دفعة للمقاول " + (contractor ? Theme.text(contractor.name) : "")
    dialogWidth: 480

    onAboutToShow: {
        amountField.text = ""
        dateField.text = Theme.today()
        notesField.text = ""
        methodChips.currentIndex = 0
    }

    Label {
        objectName: "contractorBalanceLabel"
        Layout.fillWidth: true
        text: "الرصيد المستحق: " + Theme.money(dialog.balance)
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 14
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: amountField
            objectName: "contractorPaymentAmountField"
            Layout.fillWidth: true
            label: "المبلغ"
            placeholderText: "0.00"
        }
        MTextField {
            id: dateField
            objectName: "contractorPaymentDateField"
            Layout.fillWidth: true
            label: "التاريخ"
            placeholderText: "YYYY-MM-DD"
        }
    }
    FilterChips {
        id: methodChips
        objectName: "contractorPaymentMethod"
        model: ["نقداً", "تحويل بنكي", "شيك"]
    }
    MTextField {
        id: notesField
        objectName: "contractorPaymentNotesField"
        Layout.fillWidth: true
        label: "ملاحظات"
    }
    MButton {
        objectName: "saveContractorPaymentButton"
        needs: "write"
        Layout.fillWidth: true
        text: "تسجيل الدفعة"
        onClicked: dialog.save()
    }
}
