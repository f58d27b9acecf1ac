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
        name: "Buyers"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/BuyersPage.qml"
            }
        }

        SignalSpy {
            id: printed
            target: printCtrl
            signalName: "printFinished"
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
            printed.clear()
        }

        function rowOf(name) {
            var index = H.indexWhere(page.buyers, b => b.full_name === name)
            verify(index >= 0, "no row for " + name)
            H.find(tc, page, "buyerList").positionViewAtIndex(index, 0)
            return index
        }

        function addBuyer(name, idNumber) {
            H.click(tc, H.find(tc, page, "addBuyerButton"))
            var dialog = H.find(tc, page, "addBuyerDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "buyerNameField"), name)
            H.type(tc, H.find(tc, dialog, "buyerIdField"), idNumber)
            H.type(tc, H.find(tc, dialog, "buyerPhoneField"), "0568000111")
            H.type(tc, H.find(tc, dialog, "buyerAddressField"), "Hebron")
            H.click(tc, H.find(tc, dialog, "saveBuyerButton"))
            H.waitClosed(tc, dialog)
            return rowOf(name)
        }

        function test_sellOnInstallmentsAndCollectOne() {
            var index = addBuyer("Sale Tester", "666000111")
            var buyerId = page.buyers[index].id

            H.click(tc, H.find(tc, page, "sellButton" + index))
            var sale = H.find(tc, page, "salesDialog")
            H.waitOpen(tc, sale)
            compare(sale.title, "إتمام عملية بيع وحدة عقارية")
            verify(sale.units.length > 0)
            var unit = sale.units[0]
            H.choose(tc, H.find(tc, sale, "saleUnitBox"), 0)
            compare(Number(H.find(tc, sale, "salePriceField").text), Number(unit.sale_price))
            H.type(tc, H.find(tc, sale, "salePriceField"), "120000")
            H.type(tc, H.find(tc, sale, "saleDownField"), "24000")
            H.type(tc, H.find(tc, sale, "saleCountField"), "12")
            compare(sale.preview, 8000)
            H.click(tc, H.find(tc, sale, "confirmSaleButton"))
            H.waitClosed(tc, sale)
            compare(H.scalar(database, "SELECT status FROM units WHERE id=?", [unit.id]), "sold")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM installments WHERE buyer_id=?", [buyerId]), 12)

            index = rowOf("Sale Tester")
            H.click(tc, H.find(tc, page, "installmentsButton" + index))
            var schedule = H.find(tc, page, "installmentsDialog")
            H.waitOpen(tc, schedule)
            compare(schedule.installments.length, 12)
            var first = schedule.installments[0]
            H.click(tc, H.find(tc, schedule, "payInstallmentButton0"))
            compare(H.scalar(database, "SELECT status FROM installments WHERE id=?", [first.id]), "paid")
            compare(schedule.installments[0].status, "paid")
            verify(!H.find(tc, schedule, "payInstallmentButton0").visible)
            schedule.close()
        }

        function test_saleWithoutUnitIsRefusedAndAudited() {
            var index = rowOf(page.buyers[0].full_name)
            var audits = H.scalar(database, "SELECT COUNT(*) as c FROM audit_logs WHERE action='خطأ'")
            H.click(tc, H.find(tc, page, "sellButton" + index))
            var sale = H.find(tc, page, "salesDialog")
            H.waitOpen(tc, sale)
            H.click(tc, H.find(tc, sale, "confirmSaleButton"))
            verify(sale.opened)
            compare(sale.message, "اختر الوحدة المراد بيعها")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM audit_logs WHERE action='خطأ'"), audits + 1)
            compare(H.scalar(database, "SELECT details FROM audit_logs ORDER BY id DESC LIMIT 1"),
                    "فشل البيع: لم يتم اختيار وحدة")
            sale.close()
        }

        function test_cashSaleSendsNoInstallments() {
            var index = addBuyer("Cash Buyer", "666000222")
            var buyerId = page.buyers[index].id
            H.click(tc, H.find(tc, page, "sellButton" + index))
            var sale = H.find(tc, page, "salesDialog")
            H.waitOpen(tc, sale)
            H.choose(tc, H.find(tc, sale, "saleUnitBox"), 0)
            var unitId = sale.units[0].id
            H.choose(tc, H.find(tc, sale, "salePaymentBox"), 1)
            verify(sale.cash)
            compare(H.find(tc, sale, "saleDownField").text, H.find(tc, sale, "salePriceField").text)
            compare(sale.count, 1)
            compare(sale.preview, 0)
            H.click(tc, H.find(tc, sale, "confirmSaleButton"))
            H.waitClosed(tc, sale)
            compare(H.scalar(database, "SELECT status FROM units WHERE id=?", [unitId]), "sold")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM installments WHERE buyer_id=? AND status!='paid'", [buyerId]), 0)
        }

        function test_receivedChequeIsRecorded() {
            var index = rowOf(page.buyers[0].full_name)
            var buyerId = page.buyers[index].id
            var before = H.scalar(database, "SELECT COUNT(*) as c FROM cheques WHERE buyer_id=?", [buyerId])
            H.click(tc, H.find(tc, page, "chequeButton" + index))
            var dialog = H.find(tc, page, "buyerChequeDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "chequeNumberField"), "998877")
            H.type(tc, H.find(tc, dialog, "chequeBankField"), "Bank of Palestine")
            H.type(tc, H.find(tc, dialog, "chequeAmountField"), "4500")
            H.click(tc, H.find(tc, dialog, "saveChequeButton"))
            H.waitClosed(tc, dialog)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM cheques WHERE buyer_id=?", [buyerId]), before + 1)
            compare(H.scalar(database, "SELECT type FROM cheques WHERE cheque_number='998877'"), "received")
        }

        function test_printBuyerStatementWritesThePdf() {
            var index = H.indexWhere(page.buyers, b => Number(b.installment_count) > 0)
            verify(index >= 0)
            rowOf(page.buyers[index].full_name)
            H.click(tc, H.find(tc, page, "buyerStatementButton" + index))
            var dialog = H.find(tc, page, "buyerStatementDialog")
            H.waitOpen(tc, dialog)
            verify(dialog.entries.length > 0)
            H.click(tc, H.find(tc, dialog, "printBuyerStatementButton"))
            tryCompare(printed, "count", 1)
            verify(uiTest.fileExists(printed.signalArguments[0][1]))
            dialog.close()
        }

    }
}
