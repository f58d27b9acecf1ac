import QtQuick
import "helpers.js" as H

// An expense entered from the maintenance page raises its contractor's balance; a payment from
// the contractors' list lowers it, never below zero.
PageCase {
    id: tc
    name: "Expenses"

    function init() {
    }

    function contractorBalance(id) {
        return Math.round(Number(H.scalar(database, "SELECT balance FROM contractors WHERE id=?", [id])) * 100)
    }

    function test_expenseThenContractorPayment() {
        source = "MaintenancePage"
        load()
        var dialog = H.open(tc, page, "addExpenseButton", "expenseDialog")
        compare(H.find(tc, dialog, "expenseDateField").text, H.isoDate(new Date()))
        H.paste(tc, H.find(tc, dialog, "expenseAmountField"), "١٬٢٠٠٫٥")
        H.choose(tc, H.find(tc, dialog, "expenseCategoryBox"), 1)
        H.choose(tc, H.find(tc, dialog, "expensePropertyBox"), 1)
        var contractor = H.pickFirst(tc, H.find(tc, dialog, "expenseContractorBox"))
        H.click(tc, H.find(tc, dialog, "expenseMethod1"))
        H.type(tc, H.find(tc, dialog, "expenseDescField"), "Stairwell lights")
        var property = dialog.properties[1]
        var before = contractorBalance(contractor.id)
        H.click(tc, H.find(tc, dialog, "saveExpenseButton"))
        H.waitClosed(tc, dialog)
        var row = database.execQuery("SELECT * FROM expenses WHERE description=?", ["Stairwell lights"])[0]
        compare(Number(row.amount), 1200.5)
        compare(row.property_id, property.id)
        compare(row.payment_method, "bank")
        compare(contractorBalance(contractor.id), before + 120050)
        compare(page.section, 1)
        verify(H.indexWhere(page.expenses, e => e.id === row.id) >= 0, "the new expense is listed")

        source = "AccountingPage"
        load()
        page.tab = 2
        var index = H.row(tc, page, "contractorsTableList", page.contractors, c => c.id === contractor.id)
        var pay = H.open(tc, page, "payContractorButton" + index, "contractorPaymentDialog")
        var owed = contractorBalance(contractor.id)
        // More than owed is refused and changes nothing.
        H.type(tc, H.find(tc, pay, "contractorPaymentAmountField"), String(owed / 100 + 1))
        H.click(tc, H.find(tc, pay, "saveContractorPaymentButton"))
        verify(pay.opened)
        verify(pay.message.indexOf("أكبر من الرصيد") >= 0, pay.message)
        compare(contractorBalance(contractor.id), owed)
        H.type(tc, H.find(tc, pay, "contractorPaymentAmountField"), "200.5")
        H.click(tc, H.find(tc, pay, "saveContractorPaymentButton"))
        H.waitClosed(tc, pay)
        compare(contractorBalance(contractor.id), owed - 20050)
        compare(expenseModel.getContractorPayments(contractor.id).length, 1)
    }

    function test_expenseRefusals_data() {
        return [
            { tag: "no amount", amount: "", date: "", message: "أدخل مبلغاً صحيحاً أكبر من صفر" },
            { tag: "comma as decimal", amount: "12,5", date: "", message: "أدخل مبلغاً صحيحاً أكبر من صفر" },
            { tag: "day that does not exist", amount: "100", date: "2027-02-30",
              message: "هذا التاريخ غير موجود في التقويم" },
            { tag: "no category", amount: "100", date: "", message: "اختر فئة المصروف" }
        ]
    }

    function test_expenseRefusals(data) {
        source = "MaintenancePage"
        load()
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM expenses")
        var dialog = H.open(tc, page, "addExpenseButton", "expenseDialog")
        H.type(tc, H.find(tc, dialog, "expenseAmountField"), data.amount)
        if (data.date !== "")
            H.type(tc, H.find(tc, dialog, "expenseDateField"), data.date)
        H.click(tc, H.find(tc, dialog, "saveExpenseButton"))
        compare(dialog.message, data.message)
        verify(dialog.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM expenses"), count)
    }
}
