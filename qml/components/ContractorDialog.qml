import QtQuick
import QtQuick.Layouts

MDialog {
    id: dialog

    signal added

    function clear() {
        nameField.text = ""
        phoneField.text = ""
        tradeField.text = ""
    }

    title: "إضافة مقاول / مورد"
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
            if (expenseModel.addContractor(nameField.text, phoneField.text, tradeField.text) > 0) {
                dialog.added()
                dialog.close()
                dialog.clear()
            } else {
                dialog.message = "تعذر حفظ المقاول"
            }
        }
    }
}
