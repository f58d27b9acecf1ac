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

    // Printed figures as numbers: "12,500.00 ₪" reads 12500.
    function amountOf(text) {
        return Number(String(text).replace(/[^0-9.\-]/g, ""))
    }

    function pairValue(doc, label) {
        for (var b = 0; b < doc.blocks.length; ++b) {
            var pairs = doc.blocks[b].pairs || []
            for (var i = 0; i < pairs.length; ++i)
                if (pairs[i].label === label)
                    return pairs[i].value
        }
        return undefined
    }

    // Every tab prints a document with something in it, as a file.
    function test_everyTabPrintsWhatItShows_data() {
        return [
            { tag: "insights", tab: 0 }, { tag: "financial", tab: 1 }, { tag: "projects", tab: 2 },
            { tag: "units", tab: 3 }, { tag: "overdue", tab: 4 }, { tag: "cheques", tab: 5 },
            { tag: "arrears", tab: 6 }
        ]
    }

    function test_everyTabPrintsWhatItShows(data) {
        printed.clear()
        H.press(tc, page, "reportTab" + data.tab)
        settle()
        var doc = page.printable()
        verify(doc.blocks.length > 0)
        compare(doc.title.length > 0, true)
        H.click(tc, H.find(tc, page, "printReportButton"))
        tryCompare(printed, "count", 1)
        compare(printed.signalArguments[0][0], true)
        verify(uiTest.fileExists(printed.signalArguments[0][1]), printed.signalArguments[0][1])
    }

    // Hundreds of properties would draw bars too thin to read: the twelve highest incomes are
    // drawn, highest first, and the title says so.
    function test_incomeChartDrawsTheHighest_data() {
        return [
            { tag: "none", count: 0, drawn: 0 },
            { tag: "twelve", count: 12, drawn: 12 },
            { tag: "thirteen", count: 13, drawn: 12 },
            { tag: "four hundred", count: 400, drawn: 12 }
        ]
    }

    function test_incomeChartDrawsTheHighest(data) {
        var rows = []
        // Incomes out of order, with the highest ones spread through the list.
        for (var i = 0; i < data.count; ++i)
            rows.push({ name: "عقار " + i, income: (i * 37) % data.count * 100 })
        page.comparison = rows
        var chart = H.find(tc, page, "incomeChart")
        compare(chart.shown.length, data.drawn)
        var expected = rows.map(r => r.income).sort((a, b) => b - a).slice(0, data.drawn)
        if (data.count > data.drawn)
            compare(chart.shown.map(r => r.value), expected)
        else
            compare(chart.shown.map(r => r.value), rows.map(r => r.income))
        compare(chart.title.indexOf(" من " + data.count) >= 0, data.count > data.drawn, chart.title)
    }

    function test_moneyShownIsWhatIsPrinted() {
        H.click(tc, H.find(tc, page, "reportTab1"))
        settle()
        var doc = page.printable()
        compare(doc.period, "من " + page.from + " إلى " + page.to)
        compare(amountOf(pairValue(doc, "إجمالي الإيرادات")), Number(page.profitLoss.revenue))
        compare(amountOf(pairValue(doc, "صافي الربح")), Number(page.profitLoss.net_profit))

        H.click(tc, H.find(tc, page, "reportTab2"))
        settle()
        var sold = H.indexWhere(page.projects, p => Number(p.f.total_sales_value) > 0)
        verify(sold >= 0, "the demo portfolio has a sale")
        var rows = page.printable().blocks[0].rows
        var row = rows[H.indexWhere(rows, r => r.name === page.projects[sold].name)]
        compare(amountOf(row.collected), Number(page.projects[sold].f.total_collected))
        verify(amountOf(row.collected) > 0)
    }

    function test_rangeRefreshAndBadDate() {
        H.type(tc, H.find(tc, page, "reportFromField"), "2000-01-01")
        H.type(tc, H.find(tc, page, "reportToField"), "2000-12-31")
        H.click(tc, H.find(tc, page, "refreshReportsButton"))
        compare(page.from, "2000-01-01")
        H.click(tc, H.find(tc, page, "reportTab5"))
        compare(H.count(page.chequeRows), 0)
        H.click(tc, H.find(tc, page, "reportTab1"))
        settle()
        compare(Number(page.profitLoss.revenue), 0)
        H.type(tc, H.find(tc, page, "reportToField"), "yesterday")
        H.click(tc, H.find(tc, page, "refreshReportsButton"))
        compare(page.to, "2000-12-31")
        compare(H.find(tc, page, "reportNotice").text, "أدخل التاريخين بالصيغة YYYY-MM-DD")
    }

    // The arrears of one property, as shown and as printed, and a reminder to each late account
    // there: one PDF, one recorded reminder per account.
    function test_arrearsFilterPrintAndRemindAll() {
        printed.clear()
        H.click(tc, H.find(tc, page, "reportTab6"))
        settle()
        var view = H.find(tc, page, "arrearsView")
        verify(view.rows.length > 0)
        // The property of the first late account: earlier tests may add properties without any.
        var first = H.indexWhere(view.properties, p => Number(p.id) === Number(view.rows[0].property_id))
        verify(first >= 0)
        H.choose(tc, H.find(tc, view, "arrearsPropertyFilter"), first + 1)
        tryVerify(() => view.propertyId > 0)
        settle()
        var shown = view.rows
        verify(shown.length > 0)
        for (var i = 0; i < shown.length; ++i)
            compare(Number(shown[i].property_id), view.propertyId)
        compare(page.printable().blocks[0].rows.length, shown.length)

        var late = {}
        for (var j = 0; j < shown.length; ++j)
            if (Number(shown[j].overdue) > 0)
                late[shown[j].kind + shown[j].person_id] = true
        var before = Number(H.scalar(database, "SELECT COUNT(*) FROM reminders"))
        H.click(tc, H.find(tc, view, "remindAllButton"))
        var confirm = H.find(tc, view, "arrearsConfirm")
        H.waitOpen(tc, confirm)
        H.click(tc, H.find(tc, confirm, "confirmButton"))
        tryCompare(printed, "count", 1)
        compare(Number(H.scalar(database, "SELECT COUNT(*) FROM reminders")) - before,
                Object.keys(late).length)
    }
}
