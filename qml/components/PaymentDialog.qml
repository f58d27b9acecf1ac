import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Records a payment against one of the chosen tenant's open invoices, in that invoice's currency.
MDialog {
    id: dialog

    property var tenants: []
    property var invoices: []
    readonly property var methods: ["cash", "bank", "cheque"]

    signal recorded

    title: "تسجيل دفعة جديدة"
    dialogWidth: 520

    // Void invoices are closed: a payment must never reopen one.
    function loadInvoices(tenantId) {
        var rows = Theme.rows(database.execQuery(
            "SELECT id, invoice_number, balance, currency_id FROM invoices WHERE tenant_id=? AND status!='paid' AND status!='void'",
            [tenantId]))
        for (var i = 0; i < rows.length; ++i)
            rows[i].display = Theme.text(rows[i].invoice_number) + " (المتبقي: "
                              + Theme.number(rows[i].balance) + ")"
        invoices = rows
        invoiceBox.currentIndex = -1
    }

    function save() {
        var tenant = tenants[tenantBox.currentIndex]
        var invoice = invoices[invoiceBox.currentIndex]
        if (!tenant || !invoice) {
            message = "اختر المستأجر والفاتورة المستحقة"
            return
        }
        var amount = Theme.parseAmount(amountField.text)
        if (isNaN(amount) || amount <= 0) {
            message = "أدخل مبلغاً صحيحاً أكبر من صفر"
            return
        }
        var id = paymentModel.add(Number(invoice.id), Number(tenant.id), amount,
                                  methods[methodChips.currentIndex], Theme.today(), refField.text,
                                  Number(invoice.currency_id) || 1)
        if (id > 0) {
            recorded()
            close()
        } else if (amount > Number(invoice.balance) + 1e-9) {
            message = "المبلغ أكبر من المتبقي على الفاتورة (" + Theme.number(invoice.balance) + ")"
        } else {
            message = "تعذر تسجيل الدفعة"
        }
    }

    onAboutToShow: {
        tenants = Theme.rows(tenantModel.getAll())
        invoices = []
        tenantBox.currentIndex = -1
        invoiceBox.currentIndex = -1
        amountField.text = ""
        refField.text = ""
        methodChips.currentIndex = 0
    }

    MComboBox {
        id: tenantBox
        objectName: "paymentTenantBox"
        Layout.fillWidth: true
        label: "المستأجر"
        placeholder: "اختر مستأجراً..."
        model: dialog.tenants
        textRole: "full_name"
        onActivated: index => dialog.loadInvoices(Number(dialog.tenants[index].id))
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
