import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Records a payment against one of the chosen tenant's open invoices, in that invoice's currency.
MDialog {
    id: dialog

    property var invoices: []
    readonly property var methods: ["cash", "bank", "cheque"]

    signal recorded

    title: "تسجيل دفعة جديدة"
    dialogWidth: 520

    // Void invoices are closed: a payment must never reopen one.
    function loadInvoices(tenantId) {
        var rows = Theme.rows(database.execQuery(
            "SELECT id, invoice_number, balance, currency_id, period, contract_id FROM invoices WHERE tenant_id=? AND status!='paid' AND status!='void' ORDER BY COALESCE(due_date, period), id",
            [tenantId]))
        // Number, open amount, month and kind: what tells one invoice of the tenant from another.
        for (var i = 0; i < rows.length; ++i)
            rows[i].display = Theme.text(rows[i].invoice_number) + " (المتبقي: "
                              + Theme.number(rows[i].balance) + ") — " + Theme.text(rows[i].period)
                              + " — " + (rows[i].contract_id ? "إيجار" : "خدمات")
        invoices = rows
        invoiceBox.currentIndex = -1
    }

    function save() {
        var tenant = tenantPicker.selected
        var invoice = invoices[invoiceBox.currentIndex]
        if (!tenant || !invoice) {
            message = "اختر المستأجر والفاتورة المستحقة"
            return
        }
        var amount = amountField.amount
        if (isNaN(amount) || amount <= 0) {
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
        var id = paymentModel.add(Number(invoice.id), Number(tenant.id), amount,
                                  methods[methodChips.currentIndex], dateField.date, refField.text,
                                  Number(invoice.currency_id) || 1)
        if (id > 0) {
            recorded()
            close()
        } else if (Math.round(amount * 100) > Math.round(Number(invoice.balance) * 100)) {
            message = "المبلغ أكبر من المتبقي على الفاتورة (" + Theme.number(invoice.balance) + ")"
        } else {
            message = "تعذر تسجيل الدفعة"
        }
    }

    onAboutToShow: {
        invoices = []
        tenantPicker.clear()
        invoiceBox.currentIndex = -1
        amountField.text = ""
        dateField.text = Theme.today()
        refField.text = ""
        methodChips.currentIndex = 0
    }

    SearchPicker {
        id: tenantPicker
        objectName: "paymentTenantPicker"
        Layout.fillWidth: true
        kind: "tenant"
        label: "المستأجر"
        onPicked: row => dialog.loadInvoices(Number(row.id))
    }
    MComboBox {
        id: invoiceBox
        objectName: "paymentInvoiceBox"
        Layout.fillWidth: true
        label: "الفاتورة المستحقة"
        placeholder: "اختر فاتورة..."
        model: dialog.invoices
        textRole: "display"
    }
    MTextField {
        id: amountField
        objectName: "paymentAmountField"
        Layout.fillWidth: true
        label: "المبلغ المدفوع"
        placeholderText: "0.00"
    }
    MTextField {
        id: dateField
        objectName: "paymentDateField"
        Layout.fillWidth: true
        label: "تاريخ الدفع"
        placeholderText: "YYYY-MM-DD"
    }
    MTextField {
        id: refField
        objectName: "paymentRefField"
        Layout.fillWidth: true
        label: "رقم المرجع / الشيك"
    }
    Label {
        Layout.fillWidth: true
        text: "طريقة الدفع:"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    FilterChips {
        id: methodChips
        objectName: "paymentMethod"
        model: ["نقدي", "تحويل بنكي", "شيك"]
    }
    MButton {
        objectName: "confirmPaymentButton"
        needs: "write"
        Layout.fillWidth: true
        Layout.topMargin: 4
        text: "تأكيد الدفع"
        onClicked: dialog.save()
    }
}
