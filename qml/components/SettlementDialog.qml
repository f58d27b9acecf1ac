import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// One amount from a tenant over several open invoices, oldest first, recorded as one payment
// per invoice. The plan shown is the one stored.
MDialog {
    id: dialog

    property var invoices: []
    // Ids of the ticked invoices; all of them when the tenant is chosen.
    property var chosen: []
    readonly property var methods: ["cash", "bank", "cheque"]
    readonly property var plan: tenantPicker.selectedId > 0 && !isNaN(amountField.amount)
                                ? Theme.rows(paymentModel.settlementPlan(tenantPicker.selectedId, chosen,
                                                                         amountField.amount))
                                : []

    signal recorded

    function loadInvoices(tenantId) {
        invoices = Theme.rows(database.execQuery(
            "SELECT id, invoice_number, period, balance, due_date FROM invoices WHERE tenant_id=? AND status!='paid' AND status!='void' AND balance>0.004 ORDER BY COALESCE(due_date, period, created_at), id",
            [tenantId]))
        var ids = []
        var total = 0
        for (var i = 0; i < invoices.length; ++i) {
            ids.push(Number(invoices[i].id))
            total += Math.round(Number(invoices[i].balance) * 100)
        }
        chosen = ids
        amountField.text = total > 0 ? String(total / 100) : ""
    }

    function toggle(id, on) {
        var ids = chosen.filter(x => x !== id)
        if (on)
            ids.push(id)
        chosen = ids
    }

    function planned(id) {
        for (var i = 0; i < plan.length; ++i) {
            if (Number(plan[i].id) === id)
                return Number(plan[i].amount)
        }
        return 0
    }

    function save() {
        if (tenantPicker.selectedId < 1) {
            message = "اختر المستأجر"
            return
        }
        if (chosen.length === 0) {
            message = "اختر فاتورة واحدة على الأقل"
            return
        }
        var amount = amountField.amount
        if (isNaN(amount) || Math.round(amount * 100) <= 0) {
            message = "أدخل مبلغاً صحيحاً أكبر من صفر"
            return
        }
        if (dateField.date === "") {
            message = dateField.dateMessage("أدخل تاريخ الدفع بالصيغة YYYY-MM-DD")
            return
        }
        if (dateField.date > Theme.today()) {
            message = "لا يمكن تسجيل دفعة بتاريخ مستقبلي"
            return
        }
        if (plan.length === 0) {
            message = "المبلغ أكبر من المتبقي على الفواتير المختارة، أو أنها بعملات مختلفة"
            return
        }
        var count = paymentModel.settle(tenantPicker.selectedId, chosen, amount,
                                        methods[Math.max(0, methodChips.currentIndex)], dateField.date,
                                        refField.text)
        if (count > 0) {
            recorded()
            close()
        } else {
            message = "تعذر تسجيل الدفعة"
        }
    }

    title: "دفعة واحدة لعدة فواتير"
    dialogWidth: 600

    onAboutToShow: {
        invoices = []
        chosen = []
        tenantPicker.clear()
        amountField.text = ""
        dateField.text = Theme.today()
        refField.text = ""
        methodChips.currentIndex = 0
    }

    SearchPicker {
        id: tenantPicker
        objectName: "settleTenantPicker"
        Layout.fillWidth: true
        kind: "tenant"
        label: "المستأجر"
        onPicked: row => dialog.loadInvoices(Number(row.id))
    }
    Label {
        Layout.fillWidth: true
        visible: tenantPicker.selectedId > 0 && dialog.invoices.length === 0
        text: "لا توجد فواتير مفتوحة لهذا المستأجر"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    Repeater {
        model: dialog.invoices
        delegate: RowLayout {
            id: invoiceRow
            required property var modelData
            required property int index
            readonly property int invoiceId: Number(modelData.id)
            Layout.fillWidth: true
            spacing: 10
            CheckBox {
                objectName: "settleInvoice" + invoiceRow.index
                checked: dialog.chosen.indexOf(invoiceRow.invoiceId) >= 0
                onToggled: dialog.toggle(invoiceRow.invoiceId, checked)
            }
            Label {
                Layout.fillWidth: true
                text: Theme.text(invoiceRow.modelData.invoice_number) + " — "
                      + Theme.text(invoiceRow.modelData.period) + " — المتبقي "
                      + Theme.number(invoiceRow.modelData.balance)
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
            Label {
                objectName: "settleShare" + invoiceRow.index
                text: dialog.planned(invoiceRow.invoiceId) > 0
                      ? "يُسدد " + Theme.number(dialog.planned(invoiceRow.invoiceId)) : ""
                color: Theme.successColor
                font.family: Theme.fontFamily
                font.pixelSize: 13
                font.bold: true
            }
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: amountField
            objectName: "settleAmountField"
            Layout.fillWidth: true
            label: "المبلغ المدفوع"
            placeholderText: "0.00"
        }
        MTextField {
            id: dateField
            objectName: "settleDateField"
            Layout.fillWidth: true
            label: "تاريخ الدفع"
            placeholderText: "YYYY-MM-DD"
        }
    }
    MTextField {
        id: refField
        objectName: "settleRefField"
        Layout.fillWidth: true
        label: "رقم المرجع / الشيك"
    }
    FilterChips {
        id: methodChips
        objectName: "settleMethod"
        model: ["نقدي", "تحويل بنكي", "شيك"]
    }
    MButton {
        objectName: "confirmSettleButton"
        needs: "write"
        Layout.fillWidth: true
        text: "تسجيل الدفعة (" + dialog.plan.length + " فاتورة)"
        onClicked: dialog.save()
    }
}
