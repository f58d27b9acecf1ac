import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "AccountingPage"
    source: "AccountingPage"

    function accountIndex(code) {
        var index = H.indexWhere(page.accounts, a => a.code === code)
        verify(index >= 0, "no account " + code)
        return index
    }

    function balance(code) {
        return Number(H.scalar(database, "SELECT balance FROM accounts WHERE code=?", [code]))
    }

    // Accounts left empty when a code is "".
    function fillEntry(desc, debitCode, debit, creditCode, credit) {
        var dialog = H.open(tc, page, "addJournalButton", "journalDialog")
        H.fill(tc, dialog, { journalDescField: desc, journalRefField: "77", journalDebitAmount: debit,
                             journalCreditAmount: credit })
        if (debitCode !== "")
            H.choose(tc, H.find(tc, dialog, "journalDebitAccount"), accountIndex(debitCode))
        if (creditCode !== "")
            H.choose(tc, H.find(tc, dialog, "journalCreditAccount"), accountIndex(creditCode))
        H.click(tc, H.find(tc, dialog, "saveJournalButton"))
        return dialog
    }

    function test_balancedEntryMovesBothBalances() {
        var debitCode = page.accounts[0].code
        var creditCode = page.accounts[page.accounts.length - 1].code
        var debitBefore = balance(debitCode)
        var creditBefore = balance(creditCode)
        page.tab = 1
        settle()
        var entries = page.journalTotal
        H.waitClosed(tc, fillEntry("Office rent", debitCode, "250.5", creditCode, "250.5"))
        compare(balance(debitCode), debitBefore + 250.5)
        compare(balance(creditCode), creditBefore - 250.5)
        // The journal shows a page at a time: the entry is counted and listed first.
        settle()
        compare(page.journalTotal, entries + 1)
        compare(H.at(page.entries, 0).description, "Office rent")
        compare(Number(page.accounts[accountIndex(debitCode)].balance), debitBefore + 250.5)
        var entry = database.execQuery(
            "SELECT reference_type, reference_id FROM journal_entries WHERE description=?", ["Office rent"])[0]
        compare(entry.reference_type, "manual")
        compare(Number(entry.reference_id), 77)
    }

    function test_refusedEntryIsExplained_data() {
        return [
            { tag: "unbalanced", accounts: true, debit: "100", credit: "90",
              message: "القيد غير متوازن: مبلغ المدين لا يساوي مبلغ الدائن" },
            { tag: "one cent apart", accounts: true, debit: "100", credit: "100.01",
              message: "القيد غير متوازن: مبلغ المدين لا يساوي مبلغ الدائن" },
            { tag: "not a number", accounts: true, debit: "abc", credit: "100",
              message: "أدخل مبلغي المدين والدائن بأرقام موجبة" },
            { tag: "no accounts", accounts: false, debit: "10", credit: "10",
              message: "اختر الحساب المدين والحساب الدائن" }
        ]
    }

    function test_refusedEntryIsExplained(data) {
        var debitCode = page.accounts[0].code
        var before = H.scalar(database, "SELECT COUNT(*) as c FROM journal_entries")
        var debitBefore = balance(debitCode)
        var dialog = fillEntry("Refused", data.accounts ? debitCode : "", data.debit,
                               data.accounts ? page.accounts[1].code : "", data.credit)
        compare(dialog.message, data.message)
        verify(dialog.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM journal_entries"), before)
        compare(balance(debitCode), debitBefore)
    }

    function test_lockDateIsSetAndShown() {
        page.tab = 5
        var view = H.find(tc, page, "booksSettingsView")
        H.type(tc, H.find(tc, view, "lockDateField"), "2020-01-31")
        H.click(tc, H.find(tc, view, "saveLockDateButton"))
        compare(accountModel.lockDate(), "2020-01-31")
        compare(page.lockDate, "2020-01-31")
        compare(H.find(tc, view, "lockSectionStatus").text, "✅ أُقفلت الفترة حتى 2020-01-31")
        H.click(tc, H.find(tc, view, "clearLockDateButton"))
        H.answer(tc, view, true)
        compare(accountModel.lockDate(), "")
    }

    function test_entryOpensWithItsOperation() {
        var cash = H.scalar(database, "SELECT id as c FROM accounts WHERE code='1100'")
        var revenue = H.scalar(database, "SELECT id as c FROM accounts WHERE code='4100'")
        var id = accountModel.createJournalEntry(H.isoDate(new Date()), "Opened entry", "manual", 0,
                                                 [{ account_id: cash, debit: 12.5, credit: 0 },
                                                  { account_id: revenue, debit: 0, credit: 12.5 }])
        verify(id > 0)
        page.reload()
        page.tab = 1
        var index = H.indexWhere(page.entries, e => Number(e.id) === id)
        verify(index >= 0)
        // The table lays its rows out once the tab is drawn.
        waitForRendering(page)
        H.press(tc, page, "openEntryButton" + index)
        var dialog = H.find(tc, page, "entryDialog")
        H.waitOpen(tc, dialog)
        verify(H.find(tc, dialog, "entryOperation").text.indexOf("قيد يدوي") >= 0)
        compare(H.find(tc, dialog, "entryLinesTable").rows.length, 2)
        dialog.close()
        H.waitClosed(tc, dialog)
    }
}
