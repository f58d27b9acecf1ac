import QtQuick
import QtTest
import "helpers.js" as H
import "qrc:/qml/components/Theme.js" as Theme

PageCase {
    id: tc
    name: "Dashboard"
    source: "Dashboard"

    function test_chartShowsTheLastSixMonthsOfPayments() {
        var bars = page.chartData
        compare(bars.length, 6)
        var months = ["يناير", "فبراير", "مارس", "أبريل", "مايو", "يونيو", "يوليو", "أغسطس",
                      "سبتمبر", "أكتوبر", "نوفمبر", "ديسمبر"]
        var now = new Date()
        for (var i = 0; i < 6; ++i) {
            var d = new Date(now.getFullYear(), now.getMonth() - 5 + i, 1)
            var period = Qt.formatDate(d, "yyyy-MM")
            // Rent and service money; sale money and payments of void invoices are not revenue.
            var sum = H.scalar(database,
                "SELECT COALESCE(SUM(p.amount),0) as t FROM payments p LEFT JOIN invoices i ON i.id=p.invoice_id "
                + "WHERE p.buyer_id IS NULL AND (i.id IS NULL OR i.status!='void') AND substr(p.payment_date,1,7)=?", [period])
            compare(bars[i].value, Number(sum), period)
            compare(bars[i].label, months[d.getMonth()], period)
        }
        verify(bars[5].value > 0, "the demo portfolio has payments this month")
        compare(bars[5].value, Number(dashboardCtrl.getStats().monthlyRevenue))
        verify(page.chartMax >= bars[5].value)
    }

    function test_cardsShowTheFigures() {
        compare(H.find(tc, page, "totalPropertiesCard").value,
                String(dashboardCtrl.getStats().totalProperties))
        compare(H.find(tc, page, "occupancyCard").value, dashboardCtrl.getOccupancyRate().toFixed(0) + "%")
        verify(H.find(tc, page, "monthlyRevenueCard").value.indexOf(" ₪") > 0)
    }

    // The alerts stay in the C++ list; the panel draws from it the rows in view.
    function test_alertsPanelListsEveryAlert() {
        var alerts = Theme.rows(notifyCtrl.getActiveAlerts())
        verify(alerts.length > 1, "the demo portfolio has alerts")
        tryCompare(alertsList, "count", alerts.length)
        var list = H.find(tc, page, "alertList")
        compare(list.count, alerts.length)
        verify(H.find(tc, page, "alertsPanel").visible)
        list.positionViewAtIndex(alerts.length - 1, ListView.End)
        list.forceLayout()
        var last = list.itemAtIndex(alerts.length - 1)
        verify(last, "the last alert is drawn once scrolled to")
        compare(last.row.title, alerts[alerts.length - 1].title)
        compare(alertsList.get(0).detail, alerts[0].detail)
    }

    // In the whole shell: each kind of alert opens its record, not just a page.
    function test_followingAnAlertOpensItsRecord_data() {
        return [{ tag: "buyer", page: 3, dialog: "installmentsDialog", key: "buyerId" },
                { tag: "tenant", page: 2, dialog: "contractsDialog", key: "tenantId" },
                { tag: "cheque", page: 6 }]
    }
    function test_followingAnAlertOpensItsRecord(row) {
        var alert = Theme.rows(notifyCtrl.getActiveAlerts()).find(a => a.recordKind === row.tag)
        verify(alert, "the demo portfolio has an alert about a " + row.tag)
        verify(alert.recordId > 0)
        var shell = createTemporaryObject(Qt.createComponent("qrc:/qml/MainApp.qml"), tc,
                                          { width: width, height: height })
        H.find(tc, shell, "dashboardPage").followAlert(alert)
        compare(shell.currentIndex, row.page)
        if (row.dialog) {
            var dialog = H.find(tc, shell, row.dialog)
            tryCompare(dialog, "opened", true)
            compare(dialog[row.key], alert.recordId)
            dialog.close()
        } else {
            var cheques = H.find(tc, shell, "chequesPage")
            var number = H.scalar(database, "SELECT cheque_number FROM cheques WHERE id=?", [alert.recordId])
            verify(H.count(cheques.cheques) >= 1)
            for (var i = 0; i < H.count(cheques.cheques); ++i)
                verify(String(H.at(cheques.cheques, i).cheque_number).indexOf(number) >= 0)
        }
    }
}
