import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "PaymentsPage"
    source: "PaymentsPage"

    // A tenant of its own with one open invoice of 1000 in `currency`.
    function tenantWithInvoice(name, idNumber, currency) {
        var tenant = tenantModel.add(name, idNumber, "0590000000", "", "")
        var invoice = invoiceModel.createInvoice(tenant, 0, Qt.formatDate(new Date(), "yyyy-MM"), [
            { description: "Water", type: "service", quantity: 1, unit_price: 1000, total: 1000 }
        ], currency)
        verify(invoice > 0)
        return { tenant: tenant, invoice: invoice }
    }

    function openFor(tenantId) {
        var dialog = H.open(tc, page, "addPaymentButton", "paymentDialog")
        var idNumber = H.scalar(database, "SELECT id_number FROM tenants WHERE id=?", [tenantId])
        H.pick(tc, H.find(tc, dialog, "paymentTenantPicker"), String(idNumber), t => Number(t.id) === tenantId)
        return dialog
    }

    function pay(dialog, amount) {
        H.choose(tc, H.find(tc, dialog, "paymentInvoiceBox"), 0)
        H.fill(tc, dialog, { paymentAmountField: amount, paymentRefField: "R-1" })
        H.click(tc, H.find(tc, dialog, "paymentMethod1"))
        H.click(tc, H.find(tc, dialog, "confirmPaymentButton"))
    }

    function invoice(id) {
        return database.execQuery("SELECT balance, status FROM invoices WHERE id=?", [id])[0]
    }

    function test_partialThenFullPaymentInTheInvoiceCurrency() {
        var usd = H.scalar(database, "SELECT id FROM currencies WHERE code='USD'")
        var made = tenantWithInvoice("Payer One", "880000001", usd)

        var dialog = openFor(made.tenant)
        var number = H.scalar(database, "SELECT invoice_number FROM invoices WHERE id=?", [made.invoice])
        compare(dialog.invoices.length, 1)
        compare(dialog.invoices[0].display.indexOf(number + " (المتبقي: "), 0)
        pay(dialog, "400")
        H.waitClosed(tc, dialog)
        compare(Number(invoice(made.invoice).balance), 600)
        compare(invoice(made.invoice).status, "partial")
        verify(H.indexWhere(page.payments, p => Number(p.invoice_id) === made.invoice) >= 0,
               "the payment is listed")
        var payment = database.execQuery(
            "SELECT currency_id, payment_method, reference FROM payments WHERE invoice_id=?", [made.invoice])[0]
        // The invoice's currency, not the shekel.
        compare(Number(payment.currency_id), Number(usd))
        compare(payment.payment_method, "bank")
        compare(payment.reference, "R-1")

        dialog = openFor(made.tenant)
        verify(dialog.invoices[0].display.indexOf("600") > 0, dialog.invoices[0].display)
        pay(dialog, "600")
        H.waitClosed(tc, dialog)
        compare(invoice(made.invoice).status, "paid")

        dialog = openFor(made.tenant)
        compare(dialog.invoices.length, 0)
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM payments")
        H.type(tc, H.find(tc, dialog, "paymentAmountField"), "10")
        H.click(tc, H.find(tc, dialog, "confirmPaymentButton"))
        verify(dialog.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM payments"), count)
    }

    function test_overpaymentIsRefusedWithItsMessage() {
        var made = tenantWithInvoice("Payer Two", "880000002", 1)
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM payments")
        var dialog = openFor(made.tenant)
        pay(dialog, "1500")
        compare(dialog.message.indexOf("المبلغ أكبر من المتبقي على الفاتورة ("), 0)
        verify(dialog.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM payments"), count)
        compare(Number(invoice(made.invoice).balance), 1000)
    }

    function test_voidInvoiceIsNotOffered() {
        var made = tenantWithInvoice("Payer Three", "880000003", 1)
        verify(invoiceModel.voidInvoice(made.invoice))
        compare(openFor(made.tenant).invoices.length, 0)
    }

    function test_reversePaymentThroughThePage() {
        var made = tenantWithInvoice("Payer Four", "880000004", 1)
        var paid = paymentModel.add(made.invoice, made.tenant, 400, "cash", H.isoDate(new Date()), "R-4", 1)
        verify(paid > 0)
        page.reload()
        var index = H.row(tc, page, "paymentsTableList", page.payments, p => Number(p.id) === paid)
        var dialog = H.open(tc, page, "reversePaymentButton" + index, "reversePaymentDialog")
        H.click(tc, H.find(tc, dialog, "confirmReverseButton"))
        verify(dialog.opened)
        compare(Number(invoice(made.invoice).balance), 600)
        H.type(tc, H.find(tc, dialog, "reverseReasonField"), "bounced")
        H.click(tc, H.find(tc, dialog, "confirmReverseButton"))
        H.waitClosed(tc, dialog)
        compare(Number(invoice(made.invoice).balance), 1000)
        compare(invoice(made.invoice).status, "pending")
        compare(Number(H.scalar(database, "SELECT balance FROM tenants WHERE id=?", [made.tenant])), 1000)
        index = H.row(tc, page, "paymentsTableList", page.payments, p => Number(p.id) === paid)
        verify(!H.find(tc, page, "reversePaymentButton" + index).visible)
    }
}
