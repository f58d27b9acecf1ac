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
        var entries = page.entries.length
        H.waitClosed(tc, fillEntry("Office rent", debitCode, "250.5", creditCode, "250.5"))
        compare(balance(debitCode), debitBefore + 250.5)
        compare(balance(creditCode), creditBefore - 250.5)
        compare(page.entries.length, entries + 1)
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
}
