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
        name: "ReportsPage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/ReportsPage.qml"
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

        function test_defaultRange() {
            compare(H.find(tc, page, "reportFromField").text, new Date().getFullYear() + "-01-01")
            compare(H.find(tc, page, "reportToField").text, H.isoDate(new Date()))
        }

        // Every tab has something on screen and prints what it shows.
        function test_everyTabPrintsWhatItShows_data() {
            return [
                { tag: "insights", tab: 0, title: "الذكاء الاصطناعي", rows: true, summary: true },
                { tag: "financial", tab: 1, title: "الملخص المالي", rows: false, summary: true },
                { tag: "projects", tab: 2, title: "أداء المشاريع", rows: true, summary: false },
                { tag: "units", tab: 3, title: "حالة الوحدات", rows: true, summary: false },
                { tag: "overdue", tab: 4, title: "الأقساط المتأخرة", rows: true, summary: false },
                { tag: "cheques", tab: 5, title: "تقرير الشيكات", rows: true, summary: false }
            ]
        }

        function test_everyTabPrintsWhatItShows(data) {
            H.click(tc, H.find(tc, page, "reportTab" + data.tab))
            compare(page.tab, data.tab)
            var doc = page.printable()
            compare(doc.rows.length > 0, data.rows)
            compare(Object.keys(doc.summary).length > 0, data.summary)
            H.click(tc, H.find(tc, page, "printReportButton"))
            tryCompare(printed, "count", 1)
            compare(printed.signalArguments[0][0], true)
            var file = printed.signalArguments[0][1]
            verify(uiTest.fileExists(file), file)
        }

        function test_financialSummaryFiguresAndPrint() {
            H.click(tc, H.find(tc, page, "reportTab1"))
            var pl = reportCtrl.getProfitLoss(page.from, page.to)
            var doc = page.printable()
            compare(doc.summary["الإيرادات"], H.find(tc, page, "revenueCard").value)
            compare(doc.summary["صافي الربح"], H.find(tc, page, "netProfitCard").value)
            verify(doc.summary["الإيرادات"].indexOf(" ₪") > 0)
            compare(page.profitLoss.net_profit, pl.net_profit)
            H.click(tc, H.find(tc, page, "printReportButton"))
            tryCompare(printed, "count", 1)
            verify(uiTest.fileExists(printed.signalArguments[0][1]))
        }

        function test_projectsShowSalesValueAndCollected() {
            H.click(tc, H.find(tc, page, "reportTab2"))
            verify(page.projects.length > 0)
            var sold = H.indexWhere(page.projects, p => Number(p.f.total_sales_value) > 0)
            verify(sold >= 0, "the demo portfolio has a sale")
            var doc = page.printable()
            var row = doc.rows[sold]
            verify(row["قيمة المبيعات"] !== "0 ₪", row["قيمة المبيعات"])
            verify(Number(page.projects[sold].f.total_collected) > 0)
            verify(row["المحصل"] !== "0 ₪")
        }

        function test_rangeRefreshAndBadDate() {
            H.type(tc, H.find(tc, page, "reportFromField"), "2000-01-01")
            H.type(tc, H.find(tc, page, "reportToField"), "2000-12-31")
            H.click(tc, H.find(tc, page, "refreshReportsButton"))
            compare(page.from, "2000-01-01")
            compare(page.chequeRows.length, 0)
            compare(Number(page.profitLoss.revenue), 0)
            H.type(tc, H.find(tc, page, "reportToField"), "yesterday")
            H.click(tc, H.find(tc, page, "refreshReportsButton"))
            compare(page.to, "2000-12-31")
            compare(H.find(tc, page, "reportNotice").text, "أدخل التاريخين بالصيغة YYYY-MM-DD")
        }
    }
}
