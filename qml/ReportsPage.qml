import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme
import "components/Periods.js" as Periods

Rectangle {
    id: page

    property string from: Periods.startOfYear()
    property string to: Theme.today()
    property var insights: []
    property var comparison: []
    property var analysis: ({})
    property var profitLoss: ({})
    property var balanceSheet: ({})
    property var projects: []
    // The longest tables read a screenful at a time, only while their tab is shown.
    property var units: listCatalog.open("units", page)
    property var overdue: listCatalog.open("installments", page)
    property var chequeRows: listCatalog.open("cheques", page)
    // Whether the financial summary's and the projects' figures were read since the last
    // reload: each set is read once its tab is first shown.
    property bool financialRead: false
    property bool projectsRead: false
    property string notice: ""
    property var missingRates: []
    property alias tab: tabs.currentIndex

    readonly property var tabNames: ["الذكاء الاصطناعي", "الملخص المالي", "أداء المشاريع",
        "حالة الوحدات", "الأقساط المتأخرة", "تقرير الشيكات",
        "المتأخرات حسب العمر"]

    function value(map, key) {
        var v = map ? Number(map[key]) : 0
        return isFinite(v) ? v : 0
    }

    function reload() {
        insightsCall.run()
        comparisonCall.run()
        analysisCall.run()
        missingRatesCall.run()
        chequeRows.descending = false
        chequeRows.from = from
        chequeRows.to = to
        projectsRead = false
        financialRead = false
        overdue.filters = { unpaidBefore: Theme.today() }
        units.reload()
        overdue.reload()
        chequeRows.reload()
        if (tabs.currentIndex === arrearsTab)
            arrearsView.reload()
        showTab()
    }

    function showTab() {
        units.active = visible && tabs.currentIndex === 3
        overdue.active = visible && tabs.currentIndex === 4
        chequeRows.active = visible && tabs.currentIndex === 5
        if (visible && tabs.currentIndex === 1 && !financialRead) {
            profitLossCall.run([from, to])
            balanceSheetCall.run()
            financialRead = true
        }
        if (!visible || tabs.currentIndex !== 2 || projectsRead)
            return
        projectsCall.run()
        projectsRead = true
    }

    // Figures over the whole history come from the second connection; the tabs draw at once.
    BackgroundCall {
        id: insightsCall
        object: "reports"
        method: "getAIInsights"
        onReady: result => page.insights = Theme.rows(result)
    }
    BackgroundCall {
        id: comparisonCall
        object: "reports"
        method: "getPropertyComparison"
        onReady: result => page.comparison = Theme.rows(result)
    }
    BackgroundCall {
        id: analysisCall
        object: "reports"
        method: "getSmartAIAnalysis"
        onReady: result => page.analysis = result || {}
    }
    BackgroundCall {
        id: missingRatesCall
        object: "reports"
        method: "getCurrenciesWithoutRate"
        onReady: result => page.missingRates = result || []
    }
    BackgroundCall {
        id: profitLossCall
        object: "reports"
        method: "getProfitLoss"
        onReady: result => page.profitLoss = result || {}
    }
    BackgroundCall {
        id: balanceSheetCall
        object: "reports"
        method: "getBalanceSheet"
        onReady: result => page.balanceSheet = result || {}
    }
    BackgroundCall {
        id: projectsCall
        object: "reports"
        method: "getProjectsFinancials"
        onReady: result => page.projects = Theme.rows(result).map(f => ({ name: f.name, f: f }))
    }
    readonly property bool figuresLoading: insightsCall.loading || comparisonCall.loading
                                           || analysisCall.loading || profitLossCall.loading
                                           || balanceSheetCall.loading || projectsCall.loading

    function applyRange() {
        var problem = fromField.dateMessage("أدخل التاريخين بالصيغة YYYY-MM-DD")
                || toField.dateMessage("أدخل التاريخين بالصيغة YYYY-MM-DD")
        if (problem !== "") {
            notice = problem
            return
        }
        notice = ""
        from = fromField.date
        to = toField.date
        reload()
    }

    function unitStatus(s) {
        return s === "available" ? "متاحة" : s === "rented" ? "مؤجرة" : "مباعة"
    }

    function chequeStatus(s) {
        return s === "paid" ? "تم الصرف" : s === "pending" ? "معلق" : s === "deposited" ? "مودع"
             : s === "returned" ? "معاد للساحب" : s === "cancelled" ? "ملغى" : "مرتجع"
    }

    function projectNet(f) {
        return value(f, "net_cash_flow")
    }

    // A sold unit shows what it sold for, a rented one its rent, an available one its price.
    function unitPrice(r) {
        if (r.status === "sold")
            return Theme.money(r.sale_price_actual) + " (سعر البيع)"
        if (r.status !== "rented" && Number(r.sale_price) > 0)
            return Theme.money(r.sale_price) + " (سعر معروض)"
        return Theme.money(r.rent_monthly) + " (إيجار شهري)"
    }

    readonly property var printKinds: ["analysis", "financial", "projects", "units", "overdue", "cheques",
        "arrears"]
    readonly property int arrearsTab: 6

    // The current tab as a printed document, laid out from the same figures the tab shows.
    function printable() {
        return reportCtrl.getPrintableReport(printKinds[tabs.currentIndex], from, to,
                                             arrearsView.propertyId, arrearsView.sortKey)
    }

    function printTab() {
        printCtrl.printDocument(printable())
    }

    color: "#0a0e1a"

    Component.onCompleted: {
        fromField.text = from
        toField.text = to
        if (visible)
            reload()
    }
    onVisibleChanged: if (visible)
        reload()
    else
        showTab()

    // Copies the analysis through a text edit, the one clipboard QML offers.
    TextEdit {
        id: clipboardHelper
        visible: false
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 14

        PageHeader {
            Layout.fillWidth: true
            title: "التقارير والتحليلات الذكية"
            subtitle: "تحليلات الأداء المالي المدعومة بالذكاء الاصطناعي"

            MButton {
                objectName: "printReportButton"
                text: "طباعة"
                iconSymbol: "⎙"
                onClicked: page.printTab()
            }
        }

        RowLayout {
            Layout.fillWidth: true
            // The arrears are as of today; the range does not apply to them.
            visible: tabs.currentIndex !== page.arrearsTab || page.notice !== ""
            spacing: 10
            MTextField {
                id: fromField
                objectName: "reportFromField"
                Layout.fillWidth: false
                Layout.preferredWidth: 160
                label: "من"
                placeholderText: "YYYY-MM-DD"
            }
            MTextField {
                id: toField
                objectName: "reportToField"
                Layout.fillWidth: false
                Layout.preferredWidth: 160
                label: "إلى"
                placeholderText: "YYYY-MM-DD"
            }
            MButton {
                objectName: "refreshReportsButton"
                Layout.alignment: Qt.AlignBottom
                text: "تحديث"
                outline: true
                onClicked: page.applyRange()
            }
            Label {
                objectName: "reportNotice"
                Layout.fillWidth: true
                Layout.alignment: Qt.AlignBottom
                Layout.bottomMargin: 10
                // While the long figures are added up, say so rather than show zeros as final.
                text: page.notice !== "" ? page.notice
                                         : page.figuresLoading ? "جارٍ جمع الأرقام…" : ""
                color: page.notice !== "" ? Theme.dangerColor : Theme.textSecondary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
        }
        Label {
            objectName: "missingRateNote"
            Layout.fillWidth: true
            visible: page.missingRates.length > 0
            text: "⚠ مبالغ بعملة " + page.missingRates.join("، ")
                  + " أقدم من أول سعر صرف لها حُسبت في الإجماليات دون تحويل؛ أدخل سعر الصرف من الإعدادات."
            color: Theme.warningColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }

        Flickable {
            Layout.fillWidth: true
            Layout.preferredHeight: tabs.implicitHeight
            contentWidth: tabs.implicitWidth
            contentHeight: tabs.implicitHeight
            flickableDirection: Flickable.HorizontalFlick
            boundsBehavior: Flickable.StopAtBounds
            clip: true
            FilterChips {
                id: tabs
                objectName: "reportTab"
                model: page.tabNames
                // The arrears read every account; they are read when their tab is opened.
                onCurrentIndexChanged: {
                    page.showTab()
                    if (currentIndex === page.arrearsTab)
                        arrearsView.reload()
                }
            }
        }

        StackLayout {
            id: stack
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabs.currentIndex

            // Insights.
            ScrollView {
                id: insightsView
                contentWidth: availableWidth
                clip: true
                ColumnLayout {
                    width: insightsView.availableWidth
                    spacing: 14
                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 14
                        Rectangle {
                            Layout.fillWidth: true
                            Layout.preferredHeight: Math.max(200, analysisText.implicitHeight + 110)
                            radius: 12
                            color: Theme.bgCard
                            border.color: Theme.borderColor
                            ColumnLayout {
                                anchors.fill: parent
                                anchors.margins: 18
                                spacing: 10
                                Label {
                                    Layout.fillWidth: true
                                    text: "تقرير الذكاء الاصطناعي (Belvardino AI)"
                                    color: Theme.gold
                                    font.family: Theme.fontFamily
                                    font.pixelSize: 16
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                }
                                Label {
                                    id: analysisText
                                    objectName: "analysisText"
                                    Layout.fillWidth: true
                                    Layout.fillHeight: true
                                    text: Theme.text(page.analysis.text) !== "" ? page.analysis.text
                                                                                : "جاري تحليل البيانات..."
                                    textFormat: Text.MarkdownText
                                    color: Theme.textPrimary
                                    font.family: Theme.fontFamily
                                    font.pixelSize: 13
                                    wrapMode: Text.WordWrap
                                    horizontalAlignment: Text.AlignLeft
                                }
                                RowLayout {
                                    spacing: 8
                                    MButton {
                                        objectName: "copyAnalysisButton"
                                        implicitHeight: 32
                                        text: "نسخ التحليل"
                                        outline: true
                                        onClicked: {
                                            clipboardHelper.text = Theme.text(page.analysis.text)
                                            clipboardHelper.selectAll()
                                            clipboardHelper.copy()
                                        }
                                    }
                                    MButton {
                                        objectName: "shareReportButton"
                                        implicitHeight: 32
                                        text: "مشاركة التقرير"
                                        outline: true
                                        onClicked: page.printTab()
                                    }
                                }
                            }
                        }
                        Rectangle {
                            Layout.preferredWidth: 200
                            Layout.preferredHeight: 200
                            Layout.alignment: Qt.AlignTop
                            radius: 12
                            color: Theme.bgCard
                            border.color: Theme.borderColor
                            ColumnLayout {
                                anchors.centerIn: parent
                                spacing: 6
                                Label {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: "مؤشر الإشغال"
                                    color: Theme.textSecondary
                                    font.family: Theme.fontFamily
                                    font.pixelSize: 13
                                }
                                Label {
                                    objectName: "occupancyValue"
                                    Layout.alignment: Qt.AlignHCenter
                                    text: page.value(page.analysis, "occupancy").toFixed(1) + "%"
                                    color: Theme.gold
                                    font.family: Theme.fontFamily
                                    font.pixelSize: 34
                                    font.bold: true
                                }
                                Label {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: page.value(page.analysis, "occupancy") > 70 ? "إشغال ممتاز" : "معدل متوسط"
                                    color: page.value(page.analysis, "occupancy") > 70 ? Theme.successColor
                                                                                       : Theme.warningColor
                                    font.family: Theme.fontFamily
                                    font.pixelSize: 13
                                }
                            }
                        }
                    }
                    AnalyticsWidget {
                        objectName: "incomeChart"
                        Layout.fillWidth: true
                        Layout.preferredHeight: 260
                        // Twelve, so the noun stays singular accusative whatever the total.
                        title: capped ? "توزيع الإيرادات: أعلى " + maxBars + " عقاراً دخلاً من "
                                        + page.comparison.length
                                      : "توزيع الإيرادات"
                        maxValue: 1000000
                        maxBars: 12
                        data: page.comparison.map(r => ({
                            label: Theme.text(r.name).substring(0, 6),
                            value: Number(r.income) || 0,
                            color: "#C5A059"
                        }))
                    }
                    GridLayout {
                        Layout.fillWidth: true
                        columns: insightsView.availableWidth > 800 ? 3 : 2
                        columnSpacing: 12
                        rowSpacing: 12
                        Repeater {
                            model: page.insights
                            delegate: Rectangle {
                                id: card
                                required property var modelData
                                Layout.fillWidth: true
                                Layout.preferredHeight: 96
                                radius: 12
                                color: Theme.bgCard
                                border.color: Theme.borderColor
                                RowLayout {
                                    anchors.fill: parent
                                    anchors.margins: 14
                                    spacing: 10
                                    Label {
                                        Layout.alignment: Qt.AlignTop
                                        text: Theme.text(card.modelData.icon)
                                        font.pixelSize: 22
                                    }
                                    ColumnLayout {
                                        Layout.fillWidth: true
                                        spacing: 4
                                        Label {
                                            Layout.fillWidth: true
                                            text: Theme.text(card.modelData.title)
                                            color: Theme.textPrimary
                                            font.family: Theme.fontFamily
                                            font.pixelSize: 14
                                            font.bold: true
                                            elide: Text.ElideRight
                                            horizontalAlignment: Text.AlignLeft
                                        }
                                        Label {
                                            Layout.fillWidth: true
                                            Layout.fillHeight: true
                                            text: Theme.text(card.modelData.description)
                                            color: Theme.textSecondary
                                            font.family: Theme.fontFamily
                                            font.pixelSize: 12
                                            wrapMode: Text.WordWrap
                                            elide: Text.ElideRight
                                            horizontalAlignment: Text.AlignLeft
                                        }
                                    }
                                }
                            }
                        }
                    }
                }
            }

            // Financial summary.
            ScrollView {
                id: financeView
                contentWidth: availableWidth
                clip: true
                ColumnLayout {
                    width: financeView.availableWidth
                    spacing: 14
                    GridLayout {
                        id: profitCards
                        Layout.fillWidth: true
                        columns: financeView.availableWidth >= 900 ? 3 : 2
                        columnSpacing: 14
                        rowSpacing: 14
                        StatsCard {
                            objectName: "revenueCard"
                            Layout.fillWidth: true
                            Layout.preferredWidth: 1
                            title: "الإيرادات"
                            value: Theme.money(page.value(page.profitLoss, "revenue"))
                            icon: "📈"
                            iconColor: Theme.successColor
                        }
                        StatsCard {
                            objectName: "expensesCard"
                            Layout.fillWidth: true
                            Layout.preferredWidth: 1
                            title: "المصروفات"
                            value: Theme.money(page.value(page.profitLoss, "expenses"))
                            icon: "📉"
                            iconColor: Theme.dangerColor
                        }
                        StatsCard {
                            objectName: "netProfitCard"
                            Layout.fillWidth: true
                            Layout.preferredWidth: 1
                            Layout.columnSpan: profitCards.columns === 2 ? 2 : 1
                            title: "صافي الربح"
                            value: Theme.money(page.value(page.profitLoss, "net_profit"))
                            icon: "⚖"
                        }
                    }
                    Label {
                        Layout.fillWidth: true
                        Layout.topMargin: 6
                        text: "الميزانية العمومية والمديونيات"
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 17
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }
                    GridLayout {
                        Layout.fillWidth: true
                        columns: 2
                        columnSpacing: 14
                        rowSpacing: 14
                        StatsCard {
                            Layout.fillWidth: true
                            title: "مستحقات الإيجار"
                            value: Theme.money(page.value(page.balanceSheet, "receivables"))
                            icon: "📋"
                        }
                        StatsCard {
                            Layout.fillWidth: true
                            title: "مستحقات الأقساط"
                            value: Theme.money(page.value(page.balanceSheet, "installment_receivables"))
                            icon: "📅"
                        }
                        StatsCard {
                            Layout.fillWidth: true
                            title: "إجمالي الأصول"
                            value: Theme.money(page.value(page.balanceSheet, "total_assets"))
                            icon: "🏦"
                        }
                        StatsCard {
                            Layout.fillWidth: true
                            title: "النقد المتوفر حتى " + Theme.text(page.balanceSheet.cash_to)
                            value: Theme.money(page.value(page.balanceSheet, "cash"))
                            icon: "💰"
                        }
                    }
                }
            }

            // Projects.
            ListView {
                id: projectList
                objectName: "projectList"
                clip: true
                spacing: 10
                model: page.projects
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                delegate: Rectangle {
                    id: project
                    required property var modelData
                    width: projectList.width
                    height: 96
                    radius: 12
                    color: Theme.bgCard
                    border.color: Theme.borderColor
                    ColumnLayout {
                        anchors.fill: parent
                        anchors.margins: 14
                        spacing: 8
                        RowLayout {
                            Layout.fillWidth: true
                            Label {
                                Layout.fillWidth: true
                                text: Theme.text(project.modelData.name)
                                color: Theme.textPrimary
                                font.family: Theme.fontFamily
                                font.pixelSize: 15
                                font.bold: true
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                            Tag {
                                text: page.value(project.modelData.f, "sold_units") + " / "
                                      + page.value(project.modelData.f, "total_units") + " وحدة مباعة"
                            }
                        }
                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 10
                            Repeater {
                                model: [
                                    { t: "قيمة المبيعات", v: page.value(project.modelData.f, "total_sales_value"), c: Theme.textPrimary },
                                    { t: "المحصّل من المبيعات", v: page.value(project.modelData.f, "total_collected"), c: Theme.successColor },
                                    { t: "دخل الإيجار", v: page.value(project.modelData.f, "rent_income"), c: Theme.successColor },
                                    { t: "المصروفات", v: page.value(project.modelData.f, "total_expenses"), c: Theme.dangerColor },
                                    { t: "الصافي (المحصّل + الإيجار − المصروفات)", v: page.projectNet(project.modelData.f), c: Theme.gold }
                                ]
                                delegate: ColumnLayout {
                                    required property var modelData
                                    Layout.fillWidth: true
                                    Layout.preferredWidth: 1
                                    spacing: 2
                                    Label {
                                        Layout.fillWidth: true
                                        text: modelData.t
                                        color: Theme.textMuted
                                        font.family: Theme.fontFamily
                                        font.pixelSize: 11
                                        elide: Text.ElideRight
                                        horizontalAlignment: Text.AlignLeft
                                    }
                                    Label {
                                        Layout.fillWidth: true
                                        text: Theme.money(modelData.v)
                                        color: modelData.c
                                        font.family: Theme.fontFamily
                                        font.pixelSize: 14
                                        font.bold: true
                                        elide: Text.ElideRight
                                        horizontalAlignment: Text.AlignLeft
                                    }
                                }
                            }
                        }
                    }
                }
            }

            // Units.
            DataTable {
                objectName: "unitsReport"
                rows: page.units
                emptyText: "لا توجد وحدات"
                columns: [
                    { title: "الوحدة", w: 4, value: r => Theme.text(r.property_name) + " - "
                          + Theme.text(r.unit_number), bold: true },
                    { title: "المساحة", w: 2, value: r => Theme.number(r.area) + " م²" },
                    { title: "السعر", w: 3, value: r => page.unitPrice(r),
                      color: () => Theme.gold },
                    { title: "الحالة", w: 2, value: r => page.unitStatus(r.status),
                      color: r => r.status === "available" ? Theme.successColor
                                                           : r.status === "rented" ? Theme.warningColor : Theme.textMuted }
                ]
            }

            // Overdue installments.
            DataTable {
                objectName: "overdueReport"
                rows: page.overdue
                emptyText: "لا توجد أقساط متأخرة"
                columns: [
                    { title: "المشتري", w: 3, value: r => r.buyer_name, bold: true },
                    { title: "الوحدة", w: 4, value: r => Theme.text(r.property_name) + " - وحدة "
                          + Theme.text(r.unit_number) },
                    { title: "تاريخ الاستحقاق", w: 2, value: r => r.due_date },
                    { title: "المتبقي", w: 2, color: () => Theme.dangerColor,
                      value: r => Theme.money(page.value(r, "installment_amount") - page.value(r, "paid_amount")) }
                ]
            }

            // Cheques.
            DataTable {
                objectName: "chequeReport"
                rows: page.chequeRows
                emptyText: "لا توجد شيكات في هذه الفترة"
                columns: [
                    { title: "الشيك", w: 2, value: r => "رقم: " + Theme.text(r.cheque_number), bold: true },
                    { title: "البنك", w: 3, value: r => r.bank_name },
                    { title: "الاستحقاق", w: 2, value: r => r.due_date },
                    { title: "المبلغ", w: 2, color: () => Theme.gold,
                      value: r => Theme.number(r.amount) + " " + (r.currency_symbol ? r.currency_symbol : "₪") },
                    { title: "الحالة", w: 2, value: r => page.chequeStatus(r.status),
                      color: r => r.status === "paid" ? Theme.successColor
                                                      : r.status === "pending" ? Theme.warningColor : Theme.dangerColor }
                ]
            }

            // Arrears by age.
            ArrearsView {
                id: arrearsView
                objectName: "arrearsView"
                onSaid: (text, ok) => page.notice = ok ? "" : text
            }
        }
    }
}
