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
        name: "Tenants"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/TenantsPage.qml"
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
            var index = H.indexWhere(page.tenants, t => t.full_name === name)
            verify(index >= 0, "no row for " + name)
            H.find(tc, page, "tenantList").positionViewAtIndex(index, 0)
            return index
        }

        function addTenant(name, idNumber) {
            H.click(tc, H.find(tc, page, "addTenantButton"))
            var dialog = H.find(tc, page, "addTenantDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "tenantNameField"), name)
            H.type(tc, H.find(tc, dialog, "tenantIdField"), idNumber)
            H.type(tc, H.find(tc, dialog, "tenantPhoneField"), "0599000111")
            H.type(tc, H.find(tc, dialog, "tenantEmailField"), "t@example.ps")
            H.type(tc, H.find(tc, dialog, "tenantAddressField"), "Nablus")
            H.click(tc, H.find(tc, dialog, "saveTenantButton"))
            return dialog
        }

        function openContracts(name) {
            H.click(tc, H.find(tc, page, "tenantContractsButton" + rowOf(name)))
            var contracts = H.find(tc, page, "contractsDialog")
            H.waitOpen(tc, contracts)
            return contracts
        }

        function fillLease(contracts, unitIndex, start, end) {
            H.click(tc, H.find(tc, contracts, "newContractButton"))
            var lease = H.find(tc, contracts, "newContractDialog")
            H.waitOpen(tc, lease)
            H.choose(tc, H.find(tc, lease, "contractUnitBox"), unitIndex)
            H.type(tc, H.find(tc, lease, "contractStartField"), start)
            H.type(tc, H.find(tc, lease, "contractEndField"), end)
            H.type(tc, H.find(tc, lease, "contractRentField"), "2100")
            H.click(tc, H.find(tc, lease, "saveContractButton"))
            return lease
        }

        function test_addTenantThenLeaseThenRefuseOverlap() {
            var dialog = addTenant("Lease Tester", "555000111")
            H.waitClosed(tc, dialog)
            var tenantId = H.scalar(database, "SELECT id FROM tenants WHERE id_number=?", ["555000111"])
            verify(tenantId > 0)
            rowOf("Lease Tester")

            var contracts = openContracts("Lease Tester")
            compare(contracts.contracts.length, 0)
            verify(contracts.availableUnits.length > 0)
            var unitId = contracts.availableUnits[0].id
            var today = new Date()
            var start = H.isoDate(today)
            var end = H.isoDate(new Date(today.getFullYear() + 1, today.getMonth(), today.getDate()))
            var lease = fillLease(contracts, 0, start, end)
            H.waitClosed(tc, lease)
            compare(contracts.contracts.length, 1)
            compare(contracts.contracts[0].status, "active")
            compare(H.scalar(database, "SELECT status FROM units WHERE id=?", [unitId]), "rented")

            // The unit shows as free again by mistake: a second lease over the same months is refused.
            verify(database.execNonQuery("UPDATE units SET status='available' WHERE id=?", [unitId]))
            contracts.reload()
            var index = H.indexWhere(contracts.availableUnits, u => u.id === unitId)
            verify(index >= 0)
            var count = H.scalar(database, "SELECT COUNT(*) as c FROM contracts")
            lease = fillLease(contracts, index, start, end)
            compare(lease.message, "تعذر إنشاء العقد: الوحدة مؤجرة بعقد آخر في هذه الفترة")
            verify(lease.opened)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM contracts"), count)
            lease.close()
            H.waitClosed(tc, lease)

            H.click(tc, H.find(tc, contracts, "terminateContractButton0"))
            compare(contracts.contracts[0].status, "terminated")
            contracts.close()
        }

        function test_leaseFormRefusesBadDates_data() {
            return [
                { tag: "end not a date", start: "2025-01-01", end: "soon",
                  message: "أدخل تاريخي البدء والانتهاء بالصيغة YYYY-MM-DD" },
                { tag: "impossible day", start: "2025-02-30", end: "2026-01-01",
                  message: "أدخل تاريخي البدء والانتهاء بالصيغة YYYY-MM-DD" },
                { tag: "end before start", start: "2025-06-01", end: "2025-01-01",
                  message: "تاريخ الانتهاء قبل تاريخ البدء" }
            ]
        }

        function test_leaseFormRefusesBadDates(data) {
            var name = page.tenants[0].full_name
            var contracts = openContracts(name)
            var count = H.scalar(database, "SELECT COUNT(*) as c FROM contracts")
            var lease = fillLease(contracts, 0, data.start, data.end)
            compare(lease.message, data.message)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM contracts"), count)
            lease.close()
            contracts.close()
        }

        function test_duplicateIdentityNumberIsExplained() {
            var existing = page.tenants[0]
            var count = H.scalar(database, "SELECT COUNT(*) as c FROM tenants")
            var dialog = addTenant("Someone Else", String(existing.id_number))
            compare(dialog.message, "تعذر حفظ المستأجر: رقم الهوية مسجل مسبقاً")
            verify(dialog.opened)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants"), count)
            dialog.close()
        }

        function test_tenantWithActiveLeaseIsNotRemoved() {
            var index = H.indexWhere(page.tenants, t => Number(t.active_contracts) > 0)
            verify(index >= 0)
            var id = page.tenants[index].id
            rowOf(page.tenants[index].full_name)
            H.click(tc, H.find(tc, page, "removeTenantButton" + index))
            verify(H.find(tc, page, "pageMessage").visible)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants WHERE id=?", [id]), 1)
        }

        function test_importPastedRowsReportsCounts() {
            H.click(tc, H.find(tc, page, "importTenantsButton"))
            var dialog = H.find(tc, page, "importDialog")
            H.waitOpen(tc, dialog)
            compare(dialog.targetTable, "tenants")
            H.type(tc, H.find(tc, dialog, "importText"),
                   "Imported One,777000001,0590000001,Ramallah\nImported Two,777000002,0590000002,Nablus")
            H.click(tc, H.find(tc, dialog, "startImportButton"))
            H.waitClosed(tc, dialog)
            var message = H.find(tc, page, "pageMessage")
            verify(message.visible)
            verify(message.text.indexOf("تم استيراد 2 صف، وتخطي 0") >= 0, message.text)
            verify(H.indexWhere(page.tenants, t => t.full_name === "Imported Two") >= 0)
        }

        function test_printStatementWritesThePdf() {
            var index = H.indexWhere(page.tenants, t => Number(t.active_contracts) > 0)
            rowOf(page.tenants[index].full_name)
            H.click(tc, H.find(tc, page, "tenantStatementButton" + index))
            var dialog = H.find(tc, page, "statementDialog")
            H.waitOpen(tc, dialog)
            verify(dialog.entries.length > 0)
            var opened = uiTest.openedCount()
            H.click(tc, H.find(tc, dialog, "printStatementButton"))
            tryCompare(printed, "count", 1)
            compare(printed.signalArguments[0][0], true)
            verify(uiTest.fileExists(printed.signalArguments[0][1]), printed.signalArguments[0][1])
            compare(uiTest.openedCount(), opened + 1)
            dialog.close()
        }

    }
}
