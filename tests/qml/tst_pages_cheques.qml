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
        name: "ChequesPage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/ChequesPage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
        }

        function record(number, issued, currencyIndex, due) {
            H.click(tc, H.find(tc, page, "addChequeButton"))
            var dialog = H.find(tc, page, "newChequeDialog")
            H.waitOpen(tc, dialog)
            compare(H.find(tc, dialog, "newChequeDueField").text, H.isoDate(new Date()))
            if (issued)
                H.click(tc, H.find(tc, dialog, "chequeType1"))
            H.type(tc, H.find(tc, dialog, "newChequeNumberField"), number)
            H.type(tc, H.find(tc, dialog, "newChequeBankField"), "Bank of Palestine")
            H.type(tc, H.find(tc, dialog, "newChequeAmountField"), "1250")
            H.choose(tc, H.find(tc, dialog, "newChequeCurrencyBox"), currencyIndex)
            H.type(tc, H.find(tc, dialog, "newChequeRateField"), "3.5")
            H.type(tc, H.find(tc, dialog, "newChequeDueField"), due)
            H.type(tc, H.find(tc, dialog, "newChequeNameField"), "Supplier Co")
            H.click(tc, H.find(tc, dialog, "saveNewChequeButton"))
            return dialog
        }

        function rowOf(number) {
            var index = H.indexWhere(page.cheques, c => c.cheque_number === number)
            verify(index >= 0, "no row for cheque " + number)
            H.find(tc, page, "chequesTableList").positionViewAtIndex(index, 0)
            return index
        }

        function statusOf(number) {
            return H.scalar(database, "SELECT status FROM cheques WHERE cheque_number=?", [number])
        }

        function test_recordCashAndBounce() {
            var pendingBefore = page.summary[0].count
            var nextMonth = new Date()
            nextMonth.setMonth(nextMonth.getMonth() + 1)
            var dialog = record("990001", true, 1, H.isoDate(nextMonth))
            H.waitClosed(tc, dialog)
            var row = database.execQuery(
                "SELECT c.type, c.amount, c.payee_name, cur.code FROM cheques c JOIN currencies cur ON c.currency_id=cur.id WHERE cheque_number=?",
                ["990001"])[0]
            compare(row.type, "issued")
            compare(Number(row.amount), 1250)
            compare(row.payee_name, "Supplier Co")
            compare(row.code, dialog.currencies[1].code)
            compare(page.summary[0].count, pendingBefore + 1)
            // The text fields were cleared for the next cheque.
            compare(H.find(tc, dialog, "newChequeNumberField").text, "")

            // Issued and post-dated tabs both list it.
            H.click(tc, H.find(tc, page, "chequeTab2"))
            rowOf("990001")
            H.click(tc, H.find(tc, page, "chequeTab3"))
            rowOf("990001")
            H.click(tc, H.find(tc, page, "chequeTab1"))
            compare(H.indexWhere(page.cheques, c => c.cheque_number === "990001"), -1)
            H.click(tc, H.find(tc, page, "chequeTab0"))

            var paidBefore = page.summary[1].count
            H.click(tc, H.find(tc, page, "cashChequeButton" + rowOf("990001")))
            compare(statusOf("990001"), "paid")
            compare(page.summary[1].count, paidBefore + 1)
            compare(page.summary[0].count, pendingBefore)
            // A cashed cheque offers no more actions.
            verify(!H.find(tc, page, "cashChequeButton" + rowOf("990001")).visible)

            dialog = record("990002", false, 0, H.isoDate(new Date()))
            H.waitClosed(tc, dialog)
            var bouncedBefore = page.summary[2].count
            H.click(tc, H.find(tc, page, "bounceChequeButton" + rowOf("990002")))
            compare(statusOf("990002"), "bounced")
            compare(page.summary[2].count, bouncedBefore + 1)
        }

        function test_badChequeIsExplained_data() {
            return [
                { tag: "no amount", number: "1", amount: "", due: "2030-01-01",
                  message: "أدخل رقم الشيك ومبلغاً صحيحاً" },
                { tag: "bad date", number: "2", amount: "100", due: "2030-13-01",
                  message: "أدخل تاريخ الاستحقاق بالصيغة YYYY-MM-DD" }
            ]
        }

        function test_badChequeIsExplained(data) {
            H.click(tc, H.find(tc, page, "addChequeButton"))
            var dialog = H.find(tc, page, "newChequeDialog")
            H.waitOpen(tc, dialog)
            var count = H.scalar(database, "SELECT COUNT(*) as c FROM cheques")
            H.type(tc, H.find(tc, dialog, "newChequeNumberField"), data.number)
            H.type(tc, H.find(tc, dialog, "newChequeAmountField"), data.amount)
            H.type(tc, H.find(tc, dialog, "newChequeDueField"), data.due)
            H.click(tc, H.find(tc, dialog, "saveNewChequeButton"))
            compare(dialog.message, data.message)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM cheques"), count)
            dialog.close()
            H.waitClosed(tc, dialog)
        }
    }
}
