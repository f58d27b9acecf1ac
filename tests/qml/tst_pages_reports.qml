import QtQuick
import QtTest
import "helpers.js" as H

PageCase {
    id: tc
    name: "ReportsPage"
    source: "ReportsPage"

    SignalSpy {
        id: printed
        target: printCtrl
        signalName: "printFinished"
    }

    // Every tab has something on screen and prints what it shows.
    function test_everyTabPrintsWhatItShows_data() {
        return [
            { tag: "insights", tab: 0, rows: true, summary: true },
            { tag: "financial", tab: 1, rows: false, summary: true },
            { tag: "projects", tab: 2, rows: true, summary: false },
            { tag: "units", tab: 3, rows: true, summary: false },
            { tag: "overdue", tab: 4, rows: true, summary: false },
            { tag: "cheques", tab: 5, rows: true, summary: false }
        ]
    }

    function test_everyTabPrintsWhatItShows(data) {
        printed.clear()
        H.click(tc, H.find(tc, page, "reportTab" + data.tab))
        var doc = page.printable()
        compare(doc.rows.length > 0, data.rows)
        compare(Object.keys(doc.summary).length > 0, data.summary)
        H.click(tc, H.find(tc, page, "printReportButton"))
        tryCompare(printed, "count", 1)
        compare(printed.signalArguments[0][0], true)
        verify(uiTest.fileExists(printed.signalArguments[0][1]), printed.signalArguments[0][1])
    }

    function test_moneyShownIsWhatIsPrinted() {
        H.click(tc, H.find(tc, page, "reportTab1"))
        var doc = page.printable()
        compare(doc.summary["الإيرادات"], H.find(tc, page, "revenueCard").value)
        compare(doc.summary["صافي الربح"], H.find(tc, page, "netProfitCard").value)
        verify(doc.summary["الإيرادات"].indexOf(" ₪") > 0)
        compare(page.profitLoss.net_profit, reportCtrl.getProfitLoss(page.from, page.to).net_profit)

        H.click(tc, H.find(tc, page, "reportTab2"))
        var sold = H.indexWhere(page.projects, p => Number(p.f.total_sales_value) > 0)
        verify(sold >= 0, "the demo portfolio has a sale")
        verify(Number(page.projects[sold].f.total_collected) > 0)
        var row = page.printable().rows[sold]
        verify(row["قيمة المبيعات"] !== "0 ₪", row["قيمة المبيعات"])
        verify(row["المحصل"] !== "0 ₪", row["المحصل"])
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
