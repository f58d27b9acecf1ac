import QtQuick
import QtTest
import "helpers.js" as H

PageCase {
    id: tc
    name: "Dashboard"
    source: "Dashboard"

    SignalSpy {
        id: navigated
        signalName: "navigate"
    }

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

    function test_followingAnAlertOpensItsPage() {
        navigated.target = page
        var alerts = [["overdue", 5], ["cheque", 6], ["contract", 2], ["maintenance", -1]]
        for (var i = 0; i < alerts.length; ++i) {
            navigated.clear()
            page.followAlert(alerts[i][0])
            compare(navigated.count, alerts[i][1] < 0 ? 0 : 1, alerts[i][0])
            if (alerts[i][1] >= 0)
                compare(navigated.signalArguments[0][0], alerts[i][1], alerts[i][0])
        }
    }
}
