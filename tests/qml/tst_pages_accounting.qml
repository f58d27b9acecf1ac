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
        name: "AccountingPage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/AccountingPage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
        }

        function accountIndex(code) {
            var index = H.indexWhere(page.accounts, a => a.code === code)
            verify(index >= 0, "no account " + code)
            return index
        }

        function balance(code) {
            return Number(H.scalar(database, "SELECT balance FROM accounts WHERE code=?", [code]))
        }

        function fillEntry(desc, ref, debitCode, debit, creditCode, credit) {
            H.click(tc, H.find(tc, page, "addJournalButton"))
            var dialog = H.find(tc, page, "journalDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "journalDescField"), desc)
            H.type(tc, H.find(tc, dialog, "journalRefField"), ref)
            H.choose(tc, H.find(tc, dialog, "journalDebitAccount"), accountIndex(debitCode))
            H.type(tc, H.find(tc, dialog, "journalDebitAmount"), debit)
            H.choose(tc, H.find(tc, dialog, "journalCreditAccount"), accountIndex(creditCode))
            H.type(tc, H.find(tc, dialog, "journalCreditAmount"), credit)
            H.click(tc, H.find(tc, dialog, "saveJournalButton"))
            return dialog
        }

        function test_balancedEntryMovesBalances() {
            verify(page.accounts.length > 1)
            var debitCode = page.accounts[0].code
            var creditCode = page.accounts[page.accounts.length - 1].code
            var debitBefore = balance(debitCode)
            var creditBefore = balance(creditCode)
            var entries = page.entries.length
            var dialog = fillEntry("Office rent", "77", debitCode, "250.5", creditCode, "250.5")
            H.waitClosed(tc, dialog)
            compare(balance(debitCode), debitBefore + 250.5)
            compare(balance(creditCode), creditBefore - 250.5)
            // The page reloaded: the new entry and the moved balance are on screen.
            compare(page.entries.length, entries + 1)
            compare(Number(page.accounts[accountIndex(debitCode)].balance), debitBefore + 250.5)
            var entry = database.execQuery(
                "SELECT reference_type, reference_id, entry_date FROM journal_entries WHERE description=?",
                ["Office rent"])[0]
            compare(entry.reference_type, "manual")
            compare(Number(entry.reference_id), 77)
            compare(entry.entry_date, H.isoDate(new Date()))
        }

        function test_refusedEntryIsExplained_data() {
            return [
                { tag: "unbalanced", debit: "100", credit: "90",
                  message: "القيد غير متوازن: مبلغ المدين لا يساوي مبلغ الدائن" },
                { tag: "not a number", debit: "abc", credit: "100",
                  message: "أدخل مبلغي المدين والدائن بأرقام موجبة" }
            ]
        }

        function test_refusedEntryIsExplained(data) {
            var debitCode = page.accounts[0].code
            var creditCode = page.accounts[1].code
            var before = H.scalar(database, "SELECT COUNT(*) as c FROM journal_entries")
            var debitBefore = balance(debitCode)
            var dialog = fillEntry("Refused " + data.tag, "x", debitCode, data.debit, creditCode, data.credit)
            compare(dialog.message, data.message)
            verify(dialog.opened)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM journal_entries"), before)
            compare(balance(debitCode), debitBefore)
            dialog.close()
            H.waitClosed(tc, dialog)
        }

        function test_entryNeedsBothAccounts() {
            H.click(tc, H.find(tc, page, "addJournalButton"))
            var dialog = H.find(tc, page, "journalDialog")
            H.waitOpen(tc, dialog)
            var before = H.scalar(database, "SELECT COUNT(*) as c FROM journal_entries")
            H.type(tc, H.find(tc, dialog, "journalDebitAmount"), "10")
            H.type(tc, H.find(tc, dialog, "journalCreditAmount"), "10")
            H.click(tc, H.find(tc, dialog, "saveJournalButton"))
            compare(dialog.message, "اختر الحساب المدين والحساب الدائن")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM journal_entries"), before)
            dialog.close()
            H.waitClosed(tc, dialog)
        }

        function test_addContractor() {
            H.click(tc, H.find(tc, page, "accountingTab2"))
            compare(page.tab, 2)
            var before = page.contractors.length
            H.click(tc, H.find(tc, page, "addContractorButton"))
            var dialog = H.find(tc, page, "contractorDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "contractorNameField"), "Nablus Builders")
            H.type(tc, H.find(tc, dialog, "contractorPhoneField"), "0599111222")
            H.type(tc, H.find(tc, dialog, "contractorTradeField"), "Plumbing")
            H.click(tc, H.find(tc, dialog, "saveContractorButton"))
            H.waitClosed(tc, dialog)
            compare(page.contractors.length, before + 1)
            var row = page.contractors[H.indexWhere(page.contractors, c => c.name === "Nablus Builders")]
            compare(row.trade, "Plumbing")
            compare(row.phone, "0599111222")
            // Cleared for the next one.
            dialog.open()
            H.waitOpen(tc, dialog)
            compare(H.find(tc, dialog, "contractorNameField").text, "")
            dialog.close()
        }
    }
}
