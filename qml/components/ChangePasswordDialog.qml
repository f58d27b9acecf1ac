import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

// The logged-in user changes their own password: the current one, then the new one twice.
MDialog {
    id: dialog

    title: "تغيير كلمة المرور"
    dialogWidth: 440

    onAboutToShow: {
        oldField.text = ""
        newField.text = ""
        confirmField.text = ""
    }

    MTextField {
        id: oldField
        objectName: "oldPasswordField"
        Layout.fillWidth: true
        label: "كلمة المرور الحالية"
        echoMode: TextInput.Password
    }
    MTextField {
        id: newField
        objectName: "newPasswordField"
        Layout.fillWidth: true
        label: "كلمة المرور الجديدة"
        echoMode: TextInput.Password
    }
    MTextField {
        id: confirmField
        objectName: "confirmPasswordField"
        Layout.fillWidth: true
        label: "تأكيد كلمة المرور الجديدة"
        echoMode: TextInput.Password
        onAccepted: saveButton.clicked()
    }

    MButton {
        id: saveButton
        objectName: "savePasswordButton"
        Layout.fillWidth: true
        text: "حفظ كلمة المرور"
        onClicked: {
            dialog.messageColor = Theme.dangerColor
            if (newField.text === "") {
                dialog.message = "أدخل كلمة المرور الجديدة"
                return
            }
            var refusal = authCtrl.passwordRefusal(newField.text)
            if (refusal !== "") {
                dialog.message = refusal
                return
            }
            if (newField.text !== confirmField.text) {
                dialog.message = "كلمتا المرور الجديدتان غير متطابقتين"
                return
            }
            if (!authCtrl.changePassword(oldField.text, newField.text)) {
                dialog.message = "تعذر تغيير كلمة المرور: كلمة المرور الحالية غير صحيحة"
                return
            }
            dialog.close()
        }
    }
}
