import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "Buyers"
    source: "BuyersPage"

    function rowOf(name) {
        return H.row(tc, page, "buyerList", page.buyers, b => b.full_name === name)
    }

    // The sale dialog of a new buyer, the first unit chosen.
    function saleFor(name, idNumber) {
        var dialog = H.open(tc, page, "addBuyerButton", "addBuyerDialog")
        H.fill(tc, dialog, { buyerNameField: name, buyerIdField: idNumber })
        H.click(tc, H.find(tc, dialog, "saveBuyerButton"))
        H.waitClosed(tc, dialog)
        var sale = H.open(tc, page, "sellButton" + rowOf(name), "salesDialog")
        H.pickFirst(tc, H.find(tc, sale, "saleUnitBox"))
        return sale
    }

    function test_sellOnInstallmentsAndCollectOne() {
        var sale = saleFor("Sale Tester", "666000111")
        var unit = H.find(tc, sale, "saleUnitBox").selected
        compare(Number(H.find(tc, sale, "salePriceField").text), Number(unit.sale_price))
        H.fill(tc, sale, { salePriceField: "120000", saleDownField: "24000", saleCountField: "12" })
        compare(sale.preview, 8000)
        H.click(tc, H.find(tc, sale, "confirmSaleButton"))
        H.waitClosed(tc, sale)
        compare(H.scalar(database, "SELECT status FROM units WHERE id=?", [unit.id]), "sold")
        verify(H.find(tc, page, "pageMessage").visible)
        verify(H.find(tc, page, "pageMessage").text.indexOf("Sale Tester") > 0)

        var schedule = H.open(tc, page, "installmentsButton" + rowOf("Sale Tester"), "installmentsDialog")
        compare(schedule.installments.length, 12)
        compare(Number(schedule.installments[0].installment_amount), 8000)
        H.click(tc, H.find(tc, schedule, "payInstallmentButton0"))
        var collect = H.find(tc, schedule, "collectInstallmentDialog")
        H.waitOpen(tc, collect)
        H.click(tc, H.find(tc, collect, "confirmCollectButton"))
        H.waitClosed(tc, collect)
        compare(schedule.installments[0].status, "paid")
        verify(!H.find(tc, schedule, "payInstallmentButton0").visible)

        // A partly collected installment is settled by what is still open.
        database.execNonQuery("UPDATE installments SET paid_amount=3000.3, status='partial' WHERE id=?",
                              [schedule.installments[1].id])
        schedule.reload()
        H.click(tc, H.find(tc, schedule, "payInstallmentButton1"))
        H.waitOpen(tc, collect)
        H.click(tc, H.find(tc, collect, "confirmCollectButton"))
        H.waitClosed(tc, collect)
        compare(schedule.message, "")
        compare(schedule.installments[1].status, "paid")
        compare(Number(schedule.installments[1].paid_amount), 8000)
    }

    function test_cashSaleSendsNoInstallments() {
        var sale = saleFor("Cash Buyer", "666000222")
        var unitId = H.find(tc, sale, "saleUnitBox").selected.id
        H.choose(tc, H.find(tc, sale, "salePaymentBox"), 1)
        compare(H.find(tc, sale, "saleDownField").text, H.find(tc, sale, "salePriceField").text)
        compare(sale.preview, 0)
        H.click(tc, H.find(tc, sale, "confirmSaleButton"))
        H.waitClosed(tc, sale)
        compare(H.scalar(database, "SELECT status FROM units WHERE id=?", [unitId]), "sold")
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM installments i JOIN buyers b ON i.buyer_id=b.id WHERE b.id_number=? AND i.status!='paid'", ["666000222"]), 0)
    }

    function test_saleWithoutUnitIsRefusedAndAudited() {
        var sale = H.open(tc, page, "sellButton" + rowOf(H.at(page.buyers, 0).full_name), "salesDialog")
        H.click(tc, H.find(tc, sale, "confirmSaleButton"))
        verify(sale.opened)
        compare(sale.message, "اختر الوحدة المراد بيعها")
        compare(H.scalar(database, "SELECT details FROM audit_logs ORDER BY id DESC LIMIT 1"),
                "فشل البيع: لم يتم اختيار وحدة")
    }
}
