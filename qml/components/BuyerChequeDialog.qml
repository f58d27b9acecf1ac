import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int buyerId: 0
    property string buyerName: ""

    title: "تسجيل شيك من: " + buyerName
    dialogWidth: 460

    onAboutToShow: {
        numberField.text = ""
        bankField.text = ""
        amountField.text = ""
        dueField.text = Theme.today()
    }

    MTextField {
        id: numberField
        objectName: "chequeNumberField"
        Layout.fillWidth: true
        label: "رقم الشيك"
    }
    MTextField {
        id: bankField
        objectName: "chequeBankField"
        Layout.fillWidth: true
        label: "اسم البنك"
    }
    MTextField {
        id: amountField
        objectName: "chequeAmountField"
        Layout.fillWidth: true
        label: "المبلغ"
    }
    MTextField {
        id: dueField
        objectName: "chequeDueField"
        Layout.fillWidth: true
        label: "تاريخ الاستحقاق"
        placeholderText: "YYYY-MM-DD"
    }
    MButton {
        objectName: "saveChequeButton"
        needs: "write"
        Layout.fillWidth: true
        text: "حفظ الشيك"
        onClicked: {
            var amount = amountField.amount
            if (numberField.text.trim() === "" || isNaN(amount) || amount <= 0) {
                dialog.message = "أدخل رقم الشيك ومبلغاً صحيحاً"
                return
            }
            if (dueField.date === "") {
                dialog.message = dueField.dateMessage("أدخل تاريخ الاستحقاق بالصيغة YYYY-MM-DD")
                return
            }
            var id = chequeModel.add(numberField.text, "received", amount, bankField.text,
                                     dueField.date, dialog.buyerName, 1, 1.0, dialog.buyerId, 0)
            if (id > 0)
                dialog.close()
            else
                dialog.message = "تعذر حفظ الشيك"
        }
    }
}
