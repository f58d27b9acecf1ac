import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Confirms reversing one payment: the amount goes back onto the invoice and the tenant.
MDialog {
    id: dialog

    property var payment: ({})

    signal reversed

    title: "عكس دفعة"
    dialogWidth: 460

    onAboutToShow: reasonField.text = ""

    function ltr(text) {
        return "\u2066" + text + "\u2069"
    }

    function confirm() {
        if (reasonField.text.trim() === "") {
            message = "اكتب سبب عكس الدفعة"
            return
        }
        if (paymentModel.reverse(Number(payment.id), reasonField.text) > 0) {
            reversed()
            close()
        } else {
            message = paymentModel.lastRefusal
        }
    }

    Label {
        objectName: "reverseSummary"
        Layout.fillWidth: true
        // Figures, numbers and dates as left-to-right runs inside the sentence.
        text: "الدفعة: " + dialog.ltr(Theme.number(dialog.payment.amount)) + " من "
              + Theme.text(dialog.payment.tenant_name) + " على الفاتورة "
              + dialog.ltr(Theme.text(dialog.payment.invoice_number)) + " بتاريخ "
              + dialog.ltr(Theme.text(dialog.payment.payment_date))
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    Label {
        Layout.fillWidth: true
        text: "سيعود المبلغ " + dialog.ltr(Theme.number(dialog.payment.amount))
              + " مستحقاً على الفاتورة وعلى رصيد المستأجر، وتبقى الدفعة ظاهرة مع حركة العكس، "
              + "ويبقى سند القبض محفوظاً مؤشراً عليه بالإلغاء مع السبب."
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MTextField {
        id: reasonField
        objectName: "reverseReasonField"
        Layout.fillWidth: true
        label: "سبب العكس (مطلوب)"
        placeholderText: "مثال: شيك مرتجع"
        onAccepted: dialog.confirm()
    }
    MButton {
        objectName: "confirmReverseButton"
        needs: "admin"
        Layout.fillWidth: true
        text: "تأكيد العكس"
        btnColor: Theme.dangerColor
        onClicked: dialog.confirm()
    }
}
