import QtQuick
import QtQuick.Layouts

MDialog {
    id: dialog

    // The contractor being corrected, or null for a new one.
    property var contractor: null

    // After a new contractor or a correction: the list is read again.
    signal added

    function clear() {
        nameField.text = ""
        phoneField.text = ""
        tradeField.text = ""
    }

    function openFor(row) {
        if (row) {
            nameField.text = row.name || ""
            phoneField.text = row.phone || ""
            tradeField.text = row.trade || ""
        } else if (contractor) {
            clear()
        }
        contractor = row
        open()
    }

    title: contractor ? "تعديل بيانات المقاول" : "إضافة مقاول / مورد"
    dialogWidth: 460

    MTextField {
        id: nameField
        objectName: "contractorNameField"
        Layout.fillWidth: true
        label: "الاسم"
    }
    MTextField {
        id: phoneField
        objectName: "contractorPhoneField"
        Layout.fillWidth: true
        label: "الهاتف"
    }
    MTextField {
        id: tradeField
        objectName: "contractorTradeField"
        Layout.fillWidth: true
        label: "التخصص / بند العمل"
    }
    MButton {
        objectName: "saveContractorButton"
        needs: "write"
        Layout.fillWidth: true
        text: "حفظ"
        onClicked: {
            if (nameField.text.trim() === "") {
                dialog.message = "أدخل اسم المقاول أو المورد"
                return
            }
            var saved = dialog.contractor
                    ? expenseModel.updateContractor(Number(dialog.contractor.id), nameField.text,
                                                    phoneField.text, tradeField.text)
                    : expenseModel.addContractor(nameField.text, phoneField.text, tradeField.text) > 0
            if (saved) {
                dialog.added()
                dialog.close()
                dialog.clear()
            } else {
                dialog.message = "تعذر حفظ المقاول"
            }
        }
    }
}
