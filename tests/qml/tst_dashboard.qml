import QtQuick
import QtTest
import "helpers.js" as H

Item {
    id: root
    width: 1024
    height: 700
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    TestCase {
        id: tc
        name: "Dashboard"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/Dashboard.qml"
            }
        }

        SignalSpy {
            id: navigated
            signalName: "navigate"
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
            navigated.target = page
            navigated.clear()
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
                var sum = H.scalar(database,
                    "SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE substr(payment_date,1,7)=?", [period])
                compare(bars[i].value, Number(sum), period)
                compare(bars[i].label, months[d.getMonth()], period)
            }
            compare(bars[5].color, "#f59e0b")
            verify(bars[5].value > 0, "the demo portfolio has payments this month")
            verify(page.chartMax >= bars[5].value)
        }

        function test_cardsShowTheFigures() {
            var stats = dashboardCtrl.getStats()
            compare(H.find(tc, page, "totalPropertiesCard").value, String(stats.totalProperties))
            compare(H.find(tc, page, "occupancyCard").value, dashboardCtrl.getOccupancyRate().toFixed(0) + "%")
            verify(H.find(tc, page, "monthlyRevenueCard").value.indexOf(" ₪") > 0)
        }

        function test_followingAnAlertOpensItsPage_data() {
            return [
                { tag: "overdue", type: "overdue", index: 5 },
                { tag: "cheque", type: "cheque", index: 6 },
                { tag: "contract", type: "contract", index: 2 },
                { tag: "other", type: "maintenance", index: -1 }
            ]
        }

        function test_followingAnAlertOpensItsPage(data) {
            page.followAlert(data.type)
            if (data.index < 0) {
                compare(navigated.count, 0)
            } else {
                compare(navigated.count, 1)
                compare(navigated.signalArguments[0][0], data.index)
            }
        }

    }
}
