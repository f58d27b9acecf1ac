import QtQuick
import "helpers.js" as H

// One amount settles a tenant's three open invoices, oldest first, one payment each.
PageCase {
    id: tc
    name: "Settlement"
    source: "PaymentsPage"

    function monthsAgo(n) {
        var d = new Date()
        return new Date(d.getFullYear(), d.getMonth() - n, 15)
    }

    function test_oneAmountOverThreeInvoices_data() {
        return [
            { tag: "oldest first", amount: "900", date: "", untick: -1, payments: 3,
              balances: [0, 0, 10010] },
            { tag: "oldest left out", amount: "400", date: "", untick: 0, payments: 2,
              balances: [50000, 0, 10010] },
            { tag: "dated tomorrow", amount: "900", untick: -1, payments: 0,
              date: H.isoDate(new Date(new Date().getTime() + 86400000)),
              balances: [50000, 30010, 20000], message: "لا يمكن تسجيل دفعة بتاريخ مستقبلي" },
            { tag: "more than owed", amount: "1,000.11", date: "", untick: -1, payments: 0,
              balances: [50000, 30010, 20000],
              message: "المبلغ أكبر من المتبقي على الفواتير المختارة، أو أنها بعملات مختلفة" }
        ]
    }

    function test_oneAmountOverThreeInvoices(data) {
        var idNumber = "7700" + Math.floor(Math.random() * 1e6)
        var tenantId = tenantModel.add("Three Invoices " + data.tag, idNumber, "", "", "")
        verify(tenantId > 0)
        var totals = [500, 300.1, 200]
        var ids = []
        // Inserted newest first: the order of the rows is not the order of the months.
        for (var n = 0; n <= 2; ++n) {
            var day = H.isoDate(monthsAgo(n))
            ids.unshift(database.execInsert(
                "INSERT INTO invoices (invoice_number, tenant_id, period, total_amount, paid_amount, balance, status, currency_id, due_date) VALUES (?,?,?,?,0,?,'pending',1,?)",
                ["SET-" + idNumber + "-" + n, tenantId, day.substring(0, 7), totals[2 - n], totals[2 - n], day]))
        }
        var dialog = H.open(tc, page, "settleInvoicesButton", "settlementDialog")
        H.pick(tc, H.find(tc, dialog, "settleTenantPicker"), idNumber, t => t.id === tenantId)
        compare(dialog.invoices.length, 3)
        compare(dialog.invoices[0].id, ids[0])
        compare(H.find(tc, dialog, "settleAmountField").text, "1000.1")
        if (data.untick >= 0)
            H.click(tc, H.find(tc, dialog, "settleInvoice" + data.untick))
        H.type(tc, H.find(tc, dialog, "settleAmountField"), data.amount)
        if (data.date !== "")
            H.type(tc, H.find(tc, dialog, "settleDateField"), data.date)
        H.click(tc, H.find(tc, dialog, "confirmSettleButton"))
        if (data.message)
            compare(dialog.message, data.message)
        else
            H.waitClosed(tc, dialog)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM payments WHERE tenant_id=?", [tenantId]),
                data.payments)
        for (var i = 0; i < 3; ++i)
            compare(Math.round(Number(H.scalar(database, "SELECT balance FROM invoices WHERE id=?", [ids[i]])) * 100),
                    data.balances[i], "invoice " + i)
    }
}
