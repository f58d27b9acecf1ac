import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Confirms voiding one invoice: what it is, what the tenant owes before and after, and why.
MDialog {
    id: dialog

    property int invoiceId: 0
    property var preview: ({})
    readonly property bool allowed: preview.refusal === ""

    signal voided

    title: "إلغاء فاتورة"
    dialogWidth: 480

    onAboutToShow: {
        preview = invoiceModel.voidPreview(invoiceId)
        reasonField.text = ""
    }

    function confirm() {
        if (reasonField.text.trim() === "") {
            message = "اكتب سبب إلغاء الفاتورة"
            return
        }
        if (invoiceModel.voidInvoice(invoiceId, reasonField.text)) {
            voided()
            close()
        } else {
            message = invoiceModel.lastRefusal
        }
    }

    component Line: RowLayout {
        property string label
        property string value
        property color valueColor: Theme.textPrimary
        Layout.fillWidth: true
        Label {
            Layout.fillWidth: true
            text: parent.label
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        Label {
            text: parent.value
            color: parent.valueColor
            font.family: Theme.fontFamily
            font.pixelSize: 14
            font.bold: true
        }
    }

    Line {
        label: "رقم الفاتورة"
        value: Theme.text(dialog.preview.invoice_number)
    }
    Line {
        label: "المستأجر"
        value: Theme.text(dialog.preview.tenant_name)
    }
    Line {
        label: "الفترة"
        value: Theme.text(dialog.preview.period)
    }
    Line {
        label: "المبلغ"
        value: Theme.number(dialog.preview.total_amount)
    }
    Line {
        label: "المتبقي عليها"
        value: Theme.number(dialog.preview.balance)
    }
    Line {
        objectName: "voidBalanceChange"
        label: "رصيد المستأجر"
        value: Theme.number(dialog.preview.tenant_balance) + "  ←  "
               + Theme.number(dialog.preview.tenant_balance_after)
        valueColor: Theme.gold
    }
    Label {
        objectName: "voidRefusal"
        Layout.fillWidth: true
        visible: !dialog.allowed
        text: Theme.text(dialog.preview.refusal)
        color: Theme.dangerColor
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MTextField {
        id: reasonField
        objectName: "voidReasonField"
        Layout.fillWidth: true
        enabled: dialog.allowed
        label: "سبب الإلغاء (مطلوب)"
        placeholderText: "مثال: فاتورة مكررة"
        onAccepted: dialog.confirm()
    }
    Label {
        Layout.fillWidth: true
        text: "تبقى الفاتورة الملغاة ظاهرة برقمها ولا تُحتسب في أي رصيد أو تقرير."
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MButton {
        objectName: "confirmVoidButton"
        needs: "write"
        Layout.fillWidth: true
        enabled: dialog.allowed
        text: "تأكيد الإلغاء"
        btnColor: Theme.dangerColor
        onClicked: dialog.confirm()
    }
}
