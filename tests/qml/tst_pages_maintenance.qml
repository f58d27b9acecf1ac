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
        name: "MaintenancePage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/MaintenancePage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
        }

        function request(title, priorityIndex) {
            H.click(tc, H.find(tc, page, "addMaintenanceButton"))
            var dialog = H.find(tc, page, "maintenanceRequestDialog")
            H.waitOpen(tc, dialog)
            H.choose(tc, H.find(tc, dialog, "maintenanceUnitBox"), 0)
            H.type(tc, H.find(tc, dialog, "maintenanceTitleField"), title)
            H.type(tc, H.find(tc, dialog, "maintenanceDescField"), "Leaking pipe")
            H.click(tc, H.find(tc, dialog, "maintenancePriority" + priorityIndex))
            H.click(tc, H.find(tc, dialog, "saveMaintenanceButton"))
            return dialog
        }

        function rowOf(title) {
            var index = H.indexWhere(page.requests, r => r.title === title)
            verify(index >= 0, "no row for " + title)
            H.find(tc, page, "maintenanceTableList").positionViewAtIndex(index, 0)
            return index
        }

        function test_createCompleteAndFilter() {
            var dialog = request("Kitchen sink", 2)
            H.waitClosed(tc, dialog)
            var unit = dialog.units[0]
            var row = database.execQuery(
                "SELECT id, unit_id, property_id, priority, status FROM maintenance_requests WHERE title=?",
                ["Kitchen sink"])[0]
            compare(row.unit_id, unit.id)
            compare(row.property_id, unit.property_id)
            compare(row.priority, "high")
            compare(row.status, "new")
            rowOf("Kitchen sink")

            H.click(tc, H.find(tc, page, "maintenanceFilter1"))
            verify(page.requests.every(r => r.status === "new"))
            var expenses = Number(H.scalar(database, "SELECT COUNT(*) as c FROM expenses"))
            H.click(tc, H.find(tc, page, "completeMaintenanceButton" + rowOf("Kitchen sink")))
            var complete = H.find(tc, page, "completeMaintenanceDialog")
            H.waitOpen(tc, complete)
            H.type(tc, H.find(tc, complete, "maintenanceCostField"), "350")
            H.click(tc, H.find(tc, complete, "confirmCompleteButton"))
            H.waitClosed(tc, complete)
            compare(H.scalar(database, "SELECT status FROM maintenance_requests WHERE id=?", [row.id]),
                    "completed")
            compare(Number(H.scalar(database, "SELECT COUNT(*) as c FROM expenses")), expenses + 1)
            // Gone from the "new" filter, shown under "completed" with its cost and no button.
            compare(H.indexWhere(page.requests, r => r.title === "Kitchen sink"), -1)
            H.click(tc, H.find(tc, page, "maintenanceFilter3"))
            verify(page.requests.every(r => r.status === "completed"))
            var index = rowOf("Kitchen sink")
            compare(Number(page.requests[index].cost), 350)
            verify(!H.find(tc, page, "completeMaintenanceButton" + index).visible)
            H.click(tc, H.find(tc, page, "maintenanceFilter0"))
            compare(page.requests.length, Number(H.scalar(database, "SELECT COUNT(*) as c FROM maintenance_requests")))
        }

        function test_requestNeedsAUnit() {
            H.click(tc, H.find(tc, page, "addMaintenanceButton"))
            var dialog = H.find(tc, page, "maintenanceRequestDialog")
            H.waitOpen(tc, dialog)
            var before = H.scalar(database, "SELECT COUNT(*) as c FROM maintenance_requests")
            H.type(tc, H.find(tc, dialog, "maintenanceTitleField"), "No unit")
            H.click(tc, H.find(tc, dialog, "saveMaintenanceButton"))
            compare(dialog.message, "اختر الوحدة")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM maintenance_requests"), before)
            dialog.close()
            H.waitClosed(tc, dialog)
        }
    }
}
