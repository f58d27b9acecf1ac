import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "ChequesPage"
    source: "ChequesPage"

    function openDialog() {
        return H.open(tc, page, "addChequeButton", "newChequeDialog")
    }

    function record(number, issued, currencyIndex, due) {
        var dialog = openDialog()
        if (issued)
            H.click(tc, H.find(tc, dialog, "chequeType1"))
        H.fill(tc, dialog, { newChequeNumberField: number, newChequeAmountField: "1250",
                             newChequeDueField: due, newChequeNameField: "Supplier Co" })
        H.choose(tc, H.find(tc, dialog, "newChequeCurrencyBox"), currencyIndex)
        H.click(tc, H.find(tc, dialog, "saveNewChequeButton"))
        H.waitClosed(tc, dialog)
        return dialog
    }

    function rowOf(number) {
        return H.row(tc, page, "chequesTableList", page.cheques, c => c.cheque_number === number)
    }

    function statusOf(number) {
        return H.scalar(database, "SELECT status FROM cheques WHERE cheque_number=?", [number])
    }

    // The status cards once their totals arrived from the second connection.
    function cards() {
        tryCompare(backgroundReader, "pending", 0, 30000)
        return page.summary
    }

    function test_recordCashAndBounce() {
        var pendingBefore = cards()[0].count
        var nextMonth = new Date()
        nextMonth.setMonth(nextMonth.getMonth() + 1)
        var dialog = record("990001", true, 1, H.isoDate(nextMonth))
        var row = database.execQuery(
            "SELECT c.type, c.amount, cur.code FROM cheques c JOIN currencies cur ON c.currency_id=cur.id WHERE cheque_number=?",
            ["990001"])[0]
        compare(row.type, "issued")
        compare(Number(row.amount), 1250)
        compare(row.code, dialog.currencies[1].code)
        compare(cards()[0].count, pendingBefore + 1)

        var paidBefore = cards()[1].count
        H.press(tc, page, "cashChequeButton" + rowOf("990001"))
        H.answer(tc, page, true)
        compare(statusOf("990001"), "paid")
        compare(cards()[1].count, paidBefore + 1)
        compare(cards()[0].count, pendingBefore)
        verify(!H.find(tc, page, "cashChequeButton" + rowOf("990001")).visible)

        record("990002", false, 0, H.isoDate(new Date()))
        var bouncedBefore = cards()[2].count
        H.press(tc, page, "bounceChequeButton" + rowOf("990002"))
        H.answer(tc, page, true)
        compare(statusOf("990002"), "bounced")
        compare(cards()[2].count, bouncedBefore + 1)
    }

    function test_badChequeIsExplained_data() {
        return [
            { tag: "no amount", amount: "", due: "2030-01-01", message: "أدخل رقم الشيك ومبلغاً صحيحاً" },
            { tag: "not a date", amount: "100", due: "soon", message: "أدخل تاريخ الاستحقاق بالصيغة YYYY-MM-DD" },
            { tag: "month 13", amount: "100", due: "2030-13-01", message: "هذا التاريخ غير موجود في التقويم" }
        ]
    }

    function test_badChequeIsExplained(data) {
        var dialog = openDialog()
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM cheques")
        H.fill(tc, dialog, { newChequeNumberField: "1", newChequeAmountField: data.amount,
                             newChequeDueField: data.due })
        H.click(tc, H.find(tc, dialog, "saveNewChequeButton"))
        compare(dialog.message, data.message)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM cheques"), count)
    }

    function received(number, due) {
        var id = chequeModel.add(number, "received", 640, "بنك الاستقلال", due, "Samir", 1, 1.0)
        verify(id > 0)
        page.tab = 1
        page.reload()
        return id
    }

    // Each step asks first, naming the cheque; the bounce asks why and keeps the reason.
    function test_depositClearBounceAndReplace() {
        var id = received("880001", H.isoDate(new Date()))
        H.press(tc, page, "depositChequeButton" + rowOf("880001"))
        verify(H.answer(tc, page, true).indexOf("880001") >= 0)
        compare(statusOf("880001"), "deposited")
        verify(!H.find(tc, page, "depositChequeButton" + rowOf("880001")).visible)

        H.press(tc, page, "cashChequeButton" + rowOf("880001"))
        verify(H.answer(tc, page, true).indexOf("Samir") >= 0)
        compare(statusOf("880001"), "paid")

        H.press(tc, page, "bounceChequeButton" + rowOf("880001"))
        var confirm = H.find(tc, page, "confirmDialog")
        H.waitOpen(tc, confirm)
        H.choose(tc, H.find(tc, confirm, "confirmChoice"), 2)
        H.answer(tc, page, true)
        compare(statusOf("880001"), "bounced")
        compare(H.scalar(database, "SELECT bounce_reason FROM cheques WHERE id=?", [id]), "stopped")

        var dialog = H.open(tc, page, "chequeDetailsButton" + rowOf("880001"), "chequeDetailsDialog")
        compare(dialog.events.map(e => e.status), ["pending", "deposited", "paid", "bounced"])
        H.fill(tc, dialog, { replaceNumberField: "880002" })
        H.click(tc, H.find(tc, dialog, "saveReplacementButton"))
        tryCompare(dialog, "replaceable", false)
        compare(H.scalar(database, "SELECT replaces_cheque_id FROM cheques WHERE cheque_number='880002'"), id)
        dialog.close()
        H.waitClosed(tc, dialog)
    }

    function test_calendarShowsWhatIsDue() {
        var soon = new Date()
        soon.setDate(soon.getDate() + 3)
        received("880003", H.isoDate(soon))
        H.click(tc, H.find(tc, page, "chequeTab4"))
        verify(H.find(tc, page, "chequeCalendar").visible)
        verify(H.indexWhere(page.calendar.cheques, c => c.cheque_number === "880003") >= 0)
        var bank = H.indexWhere(page.calendar.banks, b => b.bank === "بنك الاستقلال")
        verify(bank >= 0)
        verify(page.calendar.banks[bank].total >= 640)
        H.click(tc, H.find(tc, page, "chequeTab0"))
    }
}
