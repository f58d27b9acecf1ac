import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "InvoicesPage"
    source: "InvoicesPage"

    function count(sql, params) {
        return Number(H.scalar(database, sql, params))
    }

    function resultOf(dialog, button) {
        H.click(tc, H.find(tc, dialog, button))
        H.waitClosed(tc, dialog)
        var result = H.find(tc, page, "invoiceResultDialog")
        H.waitOpen(tc, result)
        return result
    }

    function test_rentRunShowsCountThenWarnsOnSecondRun() {
        // A month the demo portfolio has not billed.
        var ahead = new Date()
        ahead.setMonth(ahead.getMonth() + 3)
        var period = Qt.formatDate(ahead, "yyyy-MM")
        for (var run = 0; run < 2; ++run) {
            var dialog = H.open(tc, page, "rentRunButton", "rentRunDialog")
            H.type(tc, H.find(tc, dialog, "rentPeriodField"), period)
            var result = resultOf(dialog, "issueRentButton")
            var text = H.find(tc, result, "invoiceResultText").text
            if (run === 0) {
                verify(result.count > 0)
                compare(result.count, count("SELECT COUNT(*) as c FROM invoices WHERE period=?", [period]))
                compare(text, "✅ تم إصدار " + result.count + " فاتورة بنجاح")
                verify(H.indexWhere(page.invoices, i => i.period === period) >= 0)
            } else {
                // Nothing billed twice; every lease of the first run is listed as already billed.
                compare(result.count, 0)
                compare(result.alreadyBilled, count("SELECT COUNT(*) as c FROM invoices WHERE period=?", [period]))
                compare(H.find(tc, result, "invoiceResultList").count, result.skippedRows.length)
            }
            result.close()
            H.waitClosed(tc, result)
        }
    }

    function test_formsRefuseBeforeIssuing() {
        var before = count("SELECT COUNT(*) as c FROM invoices")
        var dialog = H.open(tc, page, "rentRunButton", "rentRunDialog")
        H.type(tc, H.find(tc, dialog, "rentPeriodField"), "2025-13")
        H.click(tc, H.find(tc, dialog, "issueRentButton"))
        compare(dialog.message, "أدخل الفترة بالصيغة YYYY-MM")
        verify(dialog.opened)
        dialog.close()
        H.waitClosed(tc, dialog)

        dialog = H.open(tc, page, "customInvoiceButton", "customInvoiceDialog")
        H.pickFirst(tc, H.find(tc, dialog, "customTenantBox"))
        H.click(tc, H.find(tc, dialog, "issueCustomInvoiceButton"))
        compare(dialog.message, "اختر المستأجر وأضف بنداً واحداً على الأقل")
        compare(count("SELECT COUNT(*) as c FROM invoices"), before)
    }

    function test_customInvoiceWithTwoItems() {
        var tenant = tenantModel.add("Custom Billing", "880000010", "0590000000", "", "")
        var dialog = H.open(tc, page, "customInvoiceButton", "customInvoiceDialog")
        H.pick(tc, H.find(tc, dialog, "customTenantBox"), "Custom Billing", t => Number(t.id) === tenant)
        var items = [[1, "120"], [2, "80.5"], [2, ""], [5, "999"]]
        for (var i = 0; i < items.length; ++i) {
            H.choose(tc, H.find(tc, dialog, "customItemType"), items[i][0])
            H.type(tc, H.find(tc, dialog, "customItemAmount"), items[i][1])
            H.click(tc, H.find(tc, dialog, "addItemButton"))
        }
        compare(dialog.items.length, 3)
        H.click(tc, H.find(tc, dialog, "removeItemButton2"))
        compare(dialog.total, 200.5)
        H.click(tc, H.find(tc, dialog, "issueCustomInvoiceButton"))
        H.waitClosed(tc, dialog)

        var invoice = database.execQuery("SELECT id, total_amount FROM invoices WHERE tenant_id=?", [tenant])
        compare(invoice.length, 1)
        compare(Number(invoice[0].total_amount), 200.5)
        var rows = database.execQuery(
            "SELECT description, total FROM invoice_items WHERE invoice_id=? ORDER BY id", [invoice[0].id])
        compare(rows.length, 2)
        compare(rows[0].description, "مياه")
        compare(rows[1].description, "كهرباء")
        compare(Number(rows[1].total), 80.5)
        verify(H.indexWhere(page.invoices, i => i.id === invoice[0].id) >= 0)
    }

    function test_voidInvoiceThroughThePage() {
        var tenant = tenantModel.add("Void Tester", "880000020", "0590000020", "", "")
        var period = Qt.formatDate(new Date(), "yyyy-MM")
        var kept = invoiceModel.createInvoice(tenant, 0, period, [{ description: "مياه", total: 40 }], 1)
        var wrong = invoiceModel.createInvoice(tenant, 0, period, [{ description: "مياه", total: 250.5 }], 1)
        verify(kept > 0 && wrong > 0)
        page.reload()
        var balance = () => Number(H.scalar(database, "SELECT balance FROM tenants WHERE id=?", [tenant]))
        var index = H.row(tc, page, "invoicesTableList", page.invoices, i => Number(i.id) === wrong)
        var dialog = H.open(tc, page, "voidInvoiceButton" + index, "voidInvoiceDialog")
        // The confirmation shows what the tenant will owe afterwards.
        compare(Number(dialog.preview.tenant_balance_after), 40)
        // Without a reason nothing is voided.
        H.click(tc, H.find(tc, dialog, "confirmVoidButton"))
        verify(dialog.opened)
        verify(dialog.message !== "")
        compare(balance(), 290.5)
        H.type(tc, H.find(tc, dialog, "voidReasonField"), "duplicate")
        H.click(tc, H.find(tc, dialog, "confirmVoidButton"))
        H.waitClosed(tc, dialog)
        compare(balance(), 40)
        verify(String(H.scalar(database, "SELECT notes FROM invoices WHERE id=?", [wrong])).indexOf("duplicate") >= 0)
        // Still listed, as void, and not offered again.
        index = H.row(tc, page, "invoicesTableList", page.invoices, i => Number(i.id) === wrong)
        compare(H.at(page.invoices, index).status, "void")
        verify(!H.find(tc, page, "voidInvoiceButton" + index).visible)

        // An invoice with a payment is refused until the payment is reversed.
        verify(paymentModel.add(kept, tenant, 10, "cash", H.isoDate(new Date()), "", 1) > 0)
        page.reload()
        index = H.row(tc, page, "invoicesTableList", page.invoices, i => Number(i.id) === kept)
        dialog = H.open(tc, page, "voidInvoiceButton" + index, "voidInvoiceDialog")
        verify(H.find(tc, dialog, "voidRefusal").visible)
        verify(!H.find(tc, dialog, "confirmVoidButton").enabled)
        dialog.close()
        H.waitClosed(tc, dialog)
        compare(balance(), 30)
    }

    // The whole sheet from the keyboard: a reading, Enter to the next row, an empty row left out.
    function test_meterReadingsByKeyboard() {
        var property = propertyModel.add("Meter Tower", "residential", "", "", "")
        verify(unitModel.add(property, "M1", 1, 80, 2, 500, 6000, 0, 1) > 0)
        verify(unitModel.add(property, "M2", 1, 80, 2, 500, 6000, 0, 1) > 0)
        var dialog = H.open(tc, page, "meterReadingsButton", "meterReadingsDialog")
        H.choose(tc, H.find(tc, dialog, "readingsPropertyBox"),
                 H.indexWhere(dialog.properties, p => Number(p.id) === property))
        // Water and electricity for each unit.
        compare(dialog.entries.length, 4)
        H.type(tc, H.find(tc, dialog, "readingField0"), "12")
        var typed = ["300", "", "7"]
        for (var row = 0; row < typed.length; ++row) {
            keyClick(Qt.Key_Return)
            tryVerify(() => H.find(tc, dialog, "readingField" + (row + 1)).activeFocus)
            for (var i = 0; i < typed[row].length; ++i)
                keyClick(typed[row].charAt(i))
        }
        // 12 m³ of water at 5, 300 kWh at 0.5, then 7 kWh.
        verify(H.find(tc, dialog, "readingsTotal").text.indexOf("213.5") >= 0)
        H.click(tc, H.find(tc, dialog, "saveReadingsButton"))
        compare(count("SELECT COUNT(*) AS c FROM usage_records r JOIN units u ON u.id=r.unit_id WHERE u.property_id=?", [property]), 3)
        compare(dialog.message, "تم حفظ 3 قراءة")
        dialog.close()
        H.waitClosed(tc, dialog)
    }
}
