import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Charges the settings' late-fee policy on a date: a fee invoice for each open invoice past its
// grace, a note and a charge for each open installment; nothing is charged twice.
MDialog {
    id: dialog

    readonly property var policy: settingsManager.lateFeePolicy || ({})

    signal charged(int count)

    title: "تطبيق رسوم التأخير"
    dialogWidth: 460

    onAboutToShow: dateField.text = Theme.today()

    Label {
        objectName: "lateFeePolicyText"
        Layout.fillWidth: true
        text: !dialog.policy.enabled ? "رسوم التأخير غير مفعلة؛ فعّلها من صفحة الإعدادات أولاً."
                                     : "السياسة: " + (dialog.policy.mode === "percent"
                                                      ? Theme.number(dialog.policy.value) + "% من المبلغ المتأخر"
                                                      : Theme.money(dialog.policy.value) + " عن كل دين متأخر")
                                       + " بعد " + dialog.policy.grace_days + " يوم سماح، مرة واحدة لكل فاتورة أو قسط."
        color: dialog.policy.enabled ? Theme.textSecondary : Theme.warningColor
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MTextField {
        id: dateField
        objectName: "lateFeeDateField"
        Layout.fillWidth: true
        label: "تاريخ الاحتساب (YYYY-MM-DD)"
    }
    MButton {
        objectName: "applyLateFeesButton"
        needs: "write"
        Layout.fillWidth: true
        enabled: dialog.policy.enabled === true
        text: "تطبيق الرسوم"
        onClicked: {
            if (dateField.date === "") {
                dialog.message = dateField.dateMessage("أدخل التاريخ بالصيغة YYYY-MM-DD")
                return
            }
            var count = invoiceModel.applyLateFees(dateField.date)
            if (count === 0 && invoiceModel.lastRefusal !== "") {
                dialog.message = invoiceModel.lastRefusal
                return
            }
            dialog.close()
            dialog.charged(count)
        }
    }
}
