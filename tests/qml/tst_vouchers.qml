import QtQuick
import "helpers.js" as H

// The vouchers tab of the payments page and a tenant's deposit received and settled.
PageCase {
    id: tc
    name: "Vouchers"
    source: "PaymentsPage"

    function test_vouchersTabSearchesByNumber() {
        var tenant = tenantModel.add("Voucher Payer", "770000001", "0590000000", "", "")
        var invoice = invoiceModel.createInvoice(tenant, 0, Qt.formatDate(new Date(), "yyyy-MM"), [
            { description: "Water", type: "service", quantity: 1, unit_price: 700, total: 700 }
        ], 1)
        var paid = paymentModel.add(invoice, tenant, 700, "cash", H.isoDate(new Date()), "", 1)
        verify(paid > 0)
        var number = H.scalar(database, "SELECT v.number FROM vouchers v JOIN payments p ON "
                              + "p.voucher_id=v.id WHERE p.id=?", [paid])
        H.click(tc, H.find(tc, page, "paymentsTabs1"))
        var view = H.find(tc, page, "vouchersView")
        verify(view.visible)
        // Newest first: the receipt just written heads the list.
        compare(view.vouchers[0].number, number)
        H.paste(tc, H.find(tc, view, "voucherSearchField"), number)
        tryCompare(view, "total", 1)
        compare(view.vouchers.length, 1)
        compare(view.vouchers[0].party_name, "Voucher Payer")
        H.paste(tc, H.find(tc, view, "voucherSearchField"), "no such voucher")
        tryCompare(view, "total", 0)
    }

    function test_depositReceivedThenSettled() {
        var tenantsPage = createTemporaryObject(Qt.createComponent("qrc:/qml/TenantsPage.qml"), tc,
                                                { width: width, height: height })
        var tenant = tenantModel.add("Deposit Holder", "770000002", "0590000000", "", "")
        var unit = H.scalar(database, "SELECT id FROM units WHERE status='available' ORDER BY id")
        var today = new Date()
        var lease = contractModel.add(unit, tenant, H.isoDate(today),
                                      H.isoDate(new Date(today.getFullYear() + 1, today.getMonth(), 1)),
                                      900, "monthly", 1200, 1)
        verify(lease > 0)
        var deposits = H.find(tc, tenantsPage, "depositsDialog")
        deposits.tenantId = tenant
        deposits.tenantName = "Deposit Holder"
        deposits.open()
        H.waitOpen(tc, deposits)
        compare(deposits.pending.length, 1)
        H.click(tc, H.find(tc, deposits, "receiveDepositButton0"))
        tryCompare(deposits.pending, "length", 0)
        compare(deposits.deposits[0].status, "held")

        var settlement = H.find(tc, deposits, "depositSettlementDialog")
        H.click(tc, H.find(tc, deposits, "settleDepositButton0"))
        H.waitOpen(tc, settlement)
        H.paste(tc, H.find(tc, settlement, "damageDescriptionField"), "Broken window")
        H.type(tc, H.find(tc, settlement, "damageAmountField"), "200.25")
        H.click(tc, H.find(tc, settlement, "addDamageButton"))
        compare(settlement.damages.length, 1)
        compare(Number(settlement.plan.refund), 999.75)
        H.click(tc, H.find(tc, settlement, "confirmSettlementButton"))
        H.answer(tc, settlement, true)
        H.waitClosed(tc, settlement)
        compare(deposits.deposits[0].status, "settled")
        compare(Number(H.scalar(database, "SELECT amount FROM vouchers WHERE source='deposit_refund' "
                                + "AND party_id=?", [tenant])), 999.75)
        deposits.close()
    }
}
