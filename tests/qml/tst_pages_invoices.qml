import QtQuick
import QtTest
import "helpers.js" as H

Item {
    id: root
    width: 1280
    height: 800
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    TestCase {
        id: tc
        name: "InvoicesPage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/InvoicesPage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
        }

        function count(sql, params) {
            return Number(H.scalar(database, sql, params))
        }

        function runRent(period) {
            H.click(tc, H.find(tc, page, "rentRunButton"))
            var dialog = H.find(tc, page, "rentRunDialog")
            H.waitOpen(tc, dialog)
            compare(H.find(tc, dialog, "rentPeriodField").text, Qt.formatDate(new Date(), "yyyy-MM"))
            H.type(tc, H.find(tc, dialog, "rentPeriodField"), period)
            H.click(tc, H.find(tc, dialog, "issueRentButton"))
            H.waitClosed(tc, dialog)
            var result = H.find(tc, page, "invoiceResultDialog")
            H.waitOpen(tc, result)
            return result
        }

        function test_rentRunShowsCountThenAmberOnSecondRun() {
            // A month far ahead, which the demo portfolio has not billed.
            var d = new Date()
            d.setMonth(d.getMonth() + 3)
            var period = Qt.formatDate(d, "yyyy-MM")
            var active = count("SELECT COUNT(*) as c FROM contracts WHERE status='active'")
            verify(active > 0)
            var result = runRent(period)
            var text = H.find(tc, result, "invoiceResultText")
            verify(result.count > 0)
            compare(result.count, count("SELECT COUNT(*) as c FROM invoices WHERE period=?", [period]))
            compare(text.text, "✅ تم إصدار " + result.count + " فاتورة بنجاح")
            compare(text.color, Qt.color("#22c55e"))
            compare(H.indexWhere(page.invoices, i => i.period === period) >= 0, true)
            H.click(tc, H.find(tc, result, "invoiceResultOkButton"))
            H.waitClosed(tc, result)

            result = runRent(period)
            compare(result.count, 0)
            compare(text.text, "⚠️ لا توجد فواتير جديدة (قد تكون مكررة)")
            compare(text.color, Qt.color("#f59e0b"))
            result.close()
            H.waitClosed(tc, result)
        }

        function test_badPeriodIsRefusedBeforeRunning() {
            H.click(tc, H.find(tc, page, "rentRunButton"))
            var dialog = H.find(tc, page, "rentRunDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "rentPeriodField"), "2025-13")
            H.click(tc, H.find(tc, dialog, "issueRentButton"))
            compare(dialog.message, "أدخل الفترة بالصيغة YYYY-MM")
            verify(dialog.opened)
            dialog.close()
            H.waitClosed(tc, dialog)
        }

        function test_customInvoiceWithTwoItems() {
            var tenant = tenantModel.add("Custom Billing", "880000010", "0590000000", "", "")
            verify(tenant > 0)
            H.click(tc, H.find(tc, page, "customInvoiceButton"))
            var dialog = H.find(tc, page, "customInvoiceDialog")
            H.waitOpen(tc, dialog)
            H.choose(tc, H.find(tc, dialog, "customTenantBox"),
                     H.indexWhere(dialog.tenants, t => Number(t.id) === tenant))
            H.choose(tc, H.find(tc, dialog, "customCurrencyBox"), 0)
            H.choose(tc, H.find(tc, dialog, "customItemType"), 1)
            H.type(tc, H.find(tc, dialog, "customItemAmount"), "120")
            H.click(tc, H.find(tc, dialog, "addItemButton"))
            H.choose(tc, H.find(tc, dialog, "customItemType"), 2)
            H.type(tc, H.find(tc, dialog, "customItemAmount"), "80.5")
            H.click(tc, H.find(tc, dialog, "addItemButton"))
            // An empty amount adds nothing; a third item removed again.
            H.click(tc, H.find(tc, dialog, "addItemButton"))
            H.choose(tc, H.find(tc, dialog, "customItemType"), 5)
            H.type(tc, H.find(tc, dialog, "customItemAmount"), "999")
            H.click(tc, H.find(tc, dialog, "addItemButton"))
            compare(dialog.items.length, 3)
            H.click(tc, H.find(tc, dialog, "removeItemButton2"))
            compare(dialog.items.length, 2)
            compare(dialog.total, 200.5)
            H.click(tc, H.find(tc, dialog, "issueCustomInvoiceButton"))
            H.waitClosed(tc, dialog)

            var invoice = database.execQuery(
                "SELECT id, total_amount, balance, period FROM invoices WHERE tenant_id=?", [tenant])
            compare(invoice.length, 1)
            compare(Number(invoice[0].total_amount), 200.5)
            compare(invoice[0].period, Qt.formatDate(new Date(), "yyyy-MM"))
            var items = database.execQuery(
                "SELECT description, type, quantity, total FROM invoice_items WHERE invoice_id=? ORDER BY id",
                [invoice[0].id])
            compare(items.length, 2)
            compare(items[0].description, "مياه")
            compare(items[1].description, "كهرباء")
            compare(items[0].type, "service")
            compare(Number(items[1].total), 80.5)
            verify(H.indexWhere(page.invoices, i => i.id === invoice[0].id) >= 0)
        }

        function test_customInvoiceNeedsTenantAndItem() {
            H.click(tc, H.find(tc, page, "customInvoiceButton"))
            var dialog = H.find(tc, page, "customInvoiceDialog")
            H.waitOpen(tc, dialog)
            var before = count("SELECT COUNT(*) as c FROM invoices")
            H.choose(tc, H.find(tc, dialog, "customTenantBox"), 0)
            H.click(tc, H.find(tc, dialog, "issueCustomInvoiceButton"))
            compare(dialog.message, "اختر المستأجر وأضف بنداً واحداً على الأقل")
            compare(count("SELECT COUNT(*) as c FROM invoices"), before)
            dialog.close()
            H.waitClosed(tc, dialog)
        }

        function test_propertyServiceInvoice() {
            var row = database.execQuery(
                "SELECT u.property_id as id, COUNT(DISTINCT c.tenant_id) as n FROM contracts c JOIN units u ON c.unit_id=u.id WHERE c.status='active' GROUP BY u.property_id ORDER BY n DESC LIMIT 1")[0]
            H.click(tc, H.find(tc, page, "serviceInvoiceButton"))
            var dialog = H.find(tc, page, "serviceInvoiceDialog")
            H.waitOpen(tc, dialog)
            H.choose(tc, H.find(tc, dialog, "servicePropertyBox"),
                     H.indexWhere(dialog.properties, p => p.id === row.id))
            H.choose(tc, H.find(tc, dialog, "serviceTypeBox"), 5)
            H.type(tc, H.find(tc, dialog, "serviceAmountField"), "45")
            var d = new Date()
            d.setMonth(d.getMonth() + 5)
            H.type(tc, H.find(tc, dialog, "servicePeriodField"), Qt.formatDate(d, "yyyy-MM"))
            H.click(tc, H.find(tc, dialog, "issueServiceButton"))
            H.waitClosed(tc, dialog)
            var result = H.find(tc, page, "invoiceResultDialog")
            H.waitOpen(tc, result)
            compare(result.count, Number(row.n))
            compare(count("SELECT COUNT(*) as c FROM invoice_items WHERE description=? AND total=45", ["حراسة"]),
                    Number(row.n))
            result.close()
            H.waitClosed(tc, result)
        }
    }
}
