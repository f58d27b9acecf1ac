import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "MaintenancePage"
    source: "MaintenancePage"

    function openRequest() {
        return H.open(tc, page, "addMaintenanceButton", "maintenanceRequestDialog")
    }

    function rowOf(title) {
        return H.row(tc, page, "maintenanceTableList", page.requests, r => r.title === title)
    }

    function test_createAndCompleteWithItsCost() {
        var dialog = openRequest()
        var unit = H.pickFirst(tc, H.find(tc, dialog, "maintenanceUnitBox"))
        H.type(tc, H.find(tc, dialog, "maintenanceTitleField"), "Kitchen sink")
        H.click(tc, H.find(tc, dialog, "maintenancePriority2"))
        H.click(tc, H.find(tc, dialog, "saveMaintenanceButton"))
        H.waitClosed(tc, dialog)
        var row = database.execQuery(
            "SELECT id, unit_id, property_id, priority FROM maintenance_requests WHERE title=?", ["Kitchen sink"])[0]
        compare(row.unit_id, unit.id)
        compare(row.property_id, unit.property_id)
        compare(row.priority, "high")

        var expenses = Number(H.scalar(database, "SELECT COUNT(*) as c FROM expenses"))
        var complete = H.open(tc, page, "completeMaintenanceButton" + rowOf("Kitchen sink"),
                              "completeMaintenanceDialog")
        H.type(tc, H.find(tc, complete, "maintenanceCostField"), "350")
        H.click(tc, H.find(tc, complete, "confirmCompleteButton"))
        H.waitClosed(tc, complete)
        compare(H.scalar(database, "SELECT status FROM maintenance_requests WHERE id=?", [row.id]), "completed")
        compare(Number(H.scalar(database, "SELECT COUNT(*) as c FROM expenses")), expenses + 1)
        var index = rowOf("Kitchen sink")
        compare(Number(H.at(page.requests, index).cost), 350)
        verify(!H.find(tc, page, "completeMaintenanceButton" + index).visible)
    }

    function test_requestNeedsAUnit() {
        var dialog = openRequest()
        var before = H.scalar(database, "SELECT COUNT(*) as c FROM maintenance_requests")
        H.type(tc, H.find(tc, dialog, "maintenanceTitleField"), "No unit")
        H.click(tc, H.find(tc, dialog, "saveMaintenanceButton"))
        compare(dialog.message, "اختر الوحدة")
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM maintenance_requests"), before)
    }
}
