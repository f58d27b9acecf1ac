import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Renews an active lease: the new one starts the day after the old one ends, its rent raised by a
// percentage or an amount, its deposit optionally topped up. The old lease becomes "renewed".
MDialog {
    id: dialog

    property var lease: ({})
    readonly property bool byPercent: modeBox.currentIndex !== 1
    readonly property real change: changeField.text === "" ? 0 : changeField.amount
    readonly property real newRent: lease.id ? contractModel.renewedRent(Number(lease.id),
                                                   byPercent ? "percent" : "amount", change) : 0

    signal renewed(int id)

    function openFor(contractId) {
        lease = contractModel.renewalDefaults(contractId) || {}
        open()
    }

    function renew() {
        var id = contractModel.renew(Number(lease.id), endField.date, newRent, topUpField.text === "" ? 0 : topUpField.amount)
        if (id < 1) {
            messageColor = Theme.dangerColor
            message = contractModel.lastRefusal
            return
        }
        close()
        renewed(id)
    }

    title: "تجديد العقد"
    dialogWidth: 500

    onAboutToShow: {
        endField.text = Theme.text(lease.new_end)
        modeBox.currentIndex = 0
        changeField.text = "0"
        topUpField.text = "0"
        messageColor = Theme.dangerColor
    }

    Label {
        Layout.fillWidth: true
        text: Theme.text(lease.tenant_name) + " — " + Theme.text(lease.property_name) + " - "
              + Theme.text(lease.unit_number) + "\nالعقد الحالي: " + Theme.text(lease.start_date)
              + " ← " + Theme.text(lease.end_date) + "، الإيجار " + Theme.money(lease.rent_amount)
              + "، التأمين " + Theme.money(lease.deposit)
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MTextField {
        objectName: "renewStartField"
        Layout.fillWidth: true
        label: "يبدأ العقد الجديد في"
        text: Theme.text(dialog.lease.new_start)
        readOnly: true
    }
    MTextField {
        id: endField
        objectName: "renewEndField"
        Layout.fillWidth: true
        label: "ينتهي في (YYYY-MM-DD)"
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MComboBox {
            id: modeBox
            objectName: "renewModeBox"
            Layout.fillWidth: true
            label: "تغيير الإيجار"
            model: ["بنسبة مئوية %", "بمبلغ"]
        }
        MTextField {
            id: changeField
            objectName: "renewChangeField"
            Layout.fillWidth: true
            label: dialog.byPercent ? "النسبة %" : "المبلغ"
        }
    }
    Label {
        objectName: "renewNewRent"
        Layout.fillWidth: true
        text: "الإيجار الجديد: " + Theme.money(dialog.newRent)
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 15
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }
    MTextField {
        id: topUpField
        objectName: "renewTopUpField"
        Layout.fillWidth: true
        label: "زيادة التأمين (اختياري)"
    }
    MButton {
        objectName: "renewContractButton"
        needs: "write"
        Layout.fillWidth: true
        text: "تجديد العقد"
        onClicked: {
            if (endField.date === "") {
                dialog.message = endField.dateMessage("أدخل تاريخ الانتهاء بالصيغة YYYY-MM-DD")
                return
            }
            if (isNaN(dialog.change) || isNaN(topUpField.text === "" ? 0 : topUpField.amount)) {
                dialog.message = "أدخل أرقاماً صحيحة للإيجار والتأمين"
                return
            }
            confirm.ask("تجديد العقد", "سيُسجل عقد جديد من " + Theme.text(dialog.lease.new_start) + " إلى "
                        + endField.date + " بإيجار " + Theme.money(dialog.newRent)
                        + "، ويصبح العقد الحالي «مجدداً». لا يمكن التراجع عن التجديد.",
                        "تجديد", dialog.renew.bind(dialog), false)
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "renewConfirmDialog"
    }
}
