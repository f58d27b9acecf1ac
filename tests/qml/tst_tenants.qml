import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "Tenants"
    source: "TenantsPage"

    function addTenant(name, idNumber) {
        var dialog = H.open(tc, page, "addTenantButton", "addTenantDialog")
        H.fill(tc, dialog, { tenantNameField: name, tenantIdField: idNumber, tenantPhoneField: "0599000111" })
        H.click(tc, H.find(tc, dialog, "saveTenantButton"))
        return dialog
    }

    function openContracts(name) {
        var index = H.row(tc, page, "tenantList", page.tenants, t => t.full_name === name)
        return H.open(tc, page, "tenantContractsButton" + index, "contractsDialog")
    }

    function fillLease(contracts, unitId, start, end) {
        var lease = H.open(tc, contracts, "newContractButton", "newContractDialog")
        var number = H.scalar(database, "SELECT unit_number FROM units WHERE id=?", [unitId])
        H.pick(tc, H.find(tc, lease, "contractUnitBox"), number, u => Number(u.id) === unitId)
        H.fill(tc, lease, { contractStartField: start, contractEndField: end, contractRentField: "2100" })
        H.click(tc, H.find(tc, lease, "saveContractButton"))
        return lease
    }

    function test_addTenantThenLeaseThenRefuseOverlap() {
        H.waitClosed(tc, addTenant("Lease Tester", "555000111"))
        var contracts = openContracts("Lease Tester")
        var unitId = Number(H.scalar(database, "SELECT MIN(id) AS id FROM units WHERE status='available'"))
        var today = new Date()
        var start = H.isoDate(today)
        var end = H.isoDate(new Date(today.getFullYear() + 1, today.getMonth(), today.getDate()))
        H.waitClosed(tc, fillLease(contracts, unitId, start, end))
        compare(contracts.contracts.length, 1)
        compare(contracts.contracts[0].status, "active")

        // The unit wrongly shows as free: a second lease over the same months is refused.
        verify(database.execNonQuery("UPDATE units SET status='available' WHERE id=?", [unitId]))
        contracts.reload()
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM contracts")
        var lease = fillLease(contracts, unitId, start, end)
        compare(lease.message, "تعذر إنشاء العقد: الوحدة مؤجرة بعقد آخر في هذه الفترة")
        verify(lease.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM contracts"), count)
        lease.close()
        H.waitClosed(tc, lease)

        H.click(tc, H.find(tc, contracts, "terminateContractButton0"))
        H.answer(tc, contracts, true)
        compare(contracts.contracts[0].status, "terminated")
    }

    // The year of cheques handed over at signing goes into the register with the lease.
    function test_leaseSignedWithCheques() {
        H.waitClosed(tc, addTenant("Cheque Signer", "555000222"))
        var contracts = openContracts("Cheque Signer")
        var today = new Date()
        var lease = H.open(tc, contracts, "newContractButton", "newContractDialog")
        H.pickFirst(tc, H.find(tc, lease, "contractUnitBox"))
        H.fill(tc, lease, { contractStartField: H.isoDate(today),
                            contractEndField: H.isoDate(new Date(today.getFullYear() + 1, today.getMonth(), today.getDate())),
                            contractRentField: "1500", leaseChequeCountField: "12",
                            leaseChequeNumberField: "730001" })
        H.click(tc, H.find(tc, lease, "saveContractButton"))
        H.waitClosed(tc, lease)
        var id = contracts.contracts[0].id
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM cheques WHERE contract_id=? AND amount=1500", [id]), 12)
        compare(H.scalar(database, "SELECT MAX(cheque_number) as n FROM cheques WHERE contract_id=?", [id]), "730012")
        contracts.close()
        H.waitClosed(tc, contracts)
    }

    function test_leaseFormRefusesBadDates_data() {
        var format = "أدخل تاريخي البدء والانتهاء بالصيغة YYYY-MM-DD"
        return [
            { tag: "end not a date", start: "2025-01-01", end: "soon", message: format },
            { tag: "impossible day", start: "2025-02-30", end: "2026-01-01",
              message: "هذا التاريخ غير موجود في التقويم" },
            { tag: "end before start", start: "2025-06-01", end: "2025-01-01",
              message: "تاريخ الانتهاء قبل تاريخ البدء" }
        ]
    }

    function test_leaseFormRefusesBadDates(data) {
        var contracts = openContracts(H.at(page.tenants, 0).full_name)
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM contracts")
        compare(fillLease(contracts, Number(H.scalar(database, "SELECT MIN(id) AS id FROM units WHERE status='available'")), data.start, data.end).message, data.message)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM contracts"), count)
    }

    function test_refusalsAreShown() {
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM tenants")
        var dialog = addTenant("Someone Else", String(H.at(page.tenants, 0).id_number))
        compare(dialog.message, "تعذر حفظ المستأجر: رقم الهوية مسجل مسبقاً")
        verify(dialog.opened)
        dialog.close()
        H.waitClosed(tc, dialog)

        var index = H.row(tc, page, "tenantList", page.tenants, t => Number(t.active_contracts) > 0)
        H.press(tc, page, "removeTenantButton" + index)
        H.answer(tc, page, true)
        verify(H.find(tc, page, "pageMessage").visible)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants"), count)
    }

    // A lease is corrected in place: rent for the invoices to come, its end, its notes; an end
    // that is not a real day is named as such and nothing is stored.
    function test_editLease_data() {
        return [
            { tag: "new rent and end", end: 400, rent: "2,750", notes: "renewed", saved: true },
            { tag: "end that does not exist", endText: "2031-02-30", rent: "2750", notes: "",
              saved: false, message: "هذا التاريخ غير موجود في التقويم" },
            { tag: "end before start", end: -400, rent: "2750", notes: "", saved: false,
              message: "تاريخ الانتهاء قبل تاريخ البدء" }
        ]
    }

    function test_editLease(data) {
        var index = H.row(tc, page, "tenantList", page.tenants, t => Number(t.active_contracts) > 0)
        var contracts = H.open(tc, page, "tenantContractsButton" + index, "contractsDialog")
        var row = H.indexWhere(contracts.contracts, c => c.status === "active")
        var lease = contracts.contracts[row]
        var dialog = H.open(tc, contracts, "editContractButton" + row, "editContractDialog")
        compare(H.find(tc, dialog, "editContractEndField").text, lease.end_date)
        var end = data.endText ? data.endText
                               : H.isoDate(new Date(new Date(lease.start_date).getTime() + data.end * 86400000))
        H.fill(tc, dialog, { editContractEndField: end, editContractRentField: data.rent,
                   editContractNotesField: data.notes })
        H.click(tc, H.find(tc, dialog, "saveContractEditButton"))
        var stored = database.execQuery("SELECT end_date, rent_amount FROM contracts WHERE id=?", [lease.id])[0]
        if (data.saved) {
            H.waitClosed(tc, dialog)
            compare(stored.end_date, end)
            compare(Number(stored.rent_amount), 2750)
        } else {
            compare(dialog.message, data.message)
            compare(stored.end_date, lease.end_date)
            compare(Number(stored.rent_amount), Number(lease.rent_amount))
        }
    }
}
