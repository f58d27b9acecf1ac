import QtQuick
import QtTest
import "helpers.js" as H

// A reminder sent from a tenant's statement: copied as text or printed, and listed in the
// statement's history of reminders at once.
PageCase {
    id: tc
    name: "ReminderPanel"
    source: "TenantsPage"

    SignalSpy {
        id: printed
        target: printCtrl
        signalName: "printFinished"
    }

    function lateTenant() {
        return Number(H.scalar(database, "SELECT tenant_id FROM invoices WHERE status IN "
                               + "('pending','partial') AND due_date < date('now','localtime') "
                               + "ORDER BY id LIMIT 1"))
    }

    function test_sendFromStatement_data() {
        return [{ tag: "text", button: "reminderTextButton", printed: 0 },
                { tag: "pdf", button: "reminderPdfButton", printed: 1 }]
    }

    function test_sendFromStatement(data) {
        printed.clear()
        var tenant = lateTenant()
        verify(tenant > 0, "the demo portfolio has a late invoice")
        var index = H.row(tc, page, "tenantList", page.tenants, t => Number(t.id) === tenant)
        var dialog = H.open(tc, page, "tenantStatementButton" + index, "statementDialog")
        var panel = H.find(tc, dialog, "tenantReminderPanel")
        verify(panel.letter.overdue)
        var before = panel.sent.length

        H.click(tc, H.find(tc, panel, data.button))
        compare(panel.sent.length, before + 1)
        compare(panel.sent[0].channel, data.tag)
        compare(panel.sent[0].total, panel.letter.total_text)
        tryCompare(printed, "count", data.printed)
        dialog.close()
    }
}
