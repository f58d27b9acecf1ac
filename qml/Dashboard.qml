import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var stats: ({})
    property var recentPayments: []
    property var recentMaintenance: []
    property var insights: []
    property var logs: []
    property var chartData: []
    property real chartMax: 100
    property real occupancy: 0
    property var arrears: ({})

    // Asks the shell to show another page (the alerts' "متابعة"), and there the record the alert
    // is about.
    signal navigate(int index)
    signal follow(int index, string kind, int id)

    // The short lists are read at once; the figures that add up the whole history arrive from the
    // second connection, each card showing an ellipsis until then.
    function refreshData() {
        recentPayments = Theme.rows(dashboardCtrl.getRecentPayments(5))
        recentMaintenance = Theme.rows(dashboardCtrl.getRecentMaintenance(3))
        occupancy = Number(dashboardCtrl.getOccupancyRate()) || 0
        logs = Theme.rows(auditMgr.getLogs(5))
        statsCall.run()
        arrearsCall.run()
        chartCall.run()
        insightsCall.run()
        alertsCall.run()
    }

    BackgroundCall {
        id: statsCall
        object: "dashboard"
        method: "getStats"
        onReady: result => page.stats = result || {}
    }
    BackgroundCall {
        id: arrearsCall
        object: "dashboard"
        method: "getArrearsSummary"
        onReady: result => page.arrears = result || {}
    }
    BackgroundCall {
        id: chartCall
        object: "dashboard"
        method: "getCollectionChart"
        onReady: result => page.loadChart(result)
    }
    BackgroundCall {
        id: insightsCall
        object: "reports"
        method: "getAIInsights"
        onReady: result => page.insights = Theme.rows(result)
    }
    // A busy portfolio has thousands of alerts: they stay in C++ (`alertsList`).
    BackgroundCall {
        id: alertsCall
        object: "alerts"
        method: "getActiveAlerts"
        into: alertsList
    }

    // The last six months of real collections, oldest first; the current month in amber.
    function loadChart(result) {
        var months = Theme.rows(result)
        var max = 0
        chartData = months.map((month, i) => {
            var value = Number(month.value) || 0
            max = Math.max(max, value)
            return {
                label: month.label,
                value: value,
                color: i === months.length - 1 ? "#f59e0b" : "#C5A059"
            }
        })
        chartMax = max > 0 ? max * 1.15 : 100
    }

    function figure(key) {
        var v = stats ? stats[key] : undefined
        return v === undefined || v === null ? 0 : v
    }

    function followAlert(alert) {
        var pages = { buyer: 3, tenant: 2, cheque: 6 }
        var kind = Theme.text(alert.recordKind)
        if (pages[kind] !== undefined)
            follow(pages[kind], kind, Number(alert.recordId) || 0)
    }

    color: "#0a0e1a"

    Component.onCompleted: refreshData()
    onVisibleChanged: if (visible)
        refreshData()

    Flickable {
        id: flick
        objectName: "dashboardFlick"
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.implicitHeight + 48
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: content
            x: 24
            y: 24
            width: flick.width - 48
            spacing: 20

            PageHeader {
                Layout.fillWidth: true
                title: "لوحة التحكم"
                subtitle: "مرحباً بك في نظام بلفاردينو لإدارة العقارات"
            }

            GridLayout {
                Layout.fillWidth: true
                columns: content.width < 900 ? 2 : 4
                columnSpacing: 16
                rowSpacing: 16

                StatsCard {
                    objectName: "totalPropertiesCard"
                    loading: statsCall.loading && Object.keys(page.stats).length === 0
                    Layout.fillWidth: true
                    title: "إجمالي العقارات"
                    value: String(page.figure("totalProperties"))
                    icon: "⌂"
                }
                StatsCard {
                    objectName: "activeTenantsCard"
                    loading: statsCall.loading && Object.keys(page.stats).length === 0
                    Layout.fillWidth: true
                    title: "المستأجرون النشطون"
                    value: String(page.figure("activeTenants"))
                    icon: "⌘"
                }
                StatsCard {
                    objectName: "occupancyCard"
                    Layout.fillWidth: true
                    title: "نسبة الإشغال"
                    subtitle: "من الوحدات القابلة للتأجير"
                    value: page.occupancy.toFixed(0) + "%"
                    icon: "◈"
                }
                StatsCard {
                    objectName: "monthlyRevenueCard"
                    loading: statsCall.loading && Object.keys(page.stats).length === 0
                    Layout.fillWidth: true
                    title: "إيرادات الإيجار والخدمات هذا الشهر"
                    value: Theme.money(page.figure("monthlyRevenue"))
                    subtitle: Number(page.figure("monthlySales")) > 0
                              ? "مبيعات الوحدات: " + Theme.money(page.figure("monthlySales")) : ""
                    icon: "⌬"
                }
                StatsCard {
                    objectName: "arrearsCard"
                    loading: arrearsCall.loading && Object.keys(page.arrears).length === 0
                    Layout.fillWidth: true
                    Layout.columnSpan: parent.columns
                    // Title, figure and the 90-day line all inside the card.
                    implicitHeight: 130
                    title: "متأخرات أكثر من 30 يوماً (بعملة "
                           + Theme.text(page.arrears.primary_symbol) + " بسعر تاريخ كل مبلغ)"
                    value: Theme.number(page.arrears.over_30) + " " + Theme.text(page.arrears.primary_symbol)
                    subtitle: Number(page.arrears.accounts_over_90) > 0
                              ? Number(page.arrears.accounts_over_90) + " حساب متأخر أكثر من 90 يوماً"
                              : "لا حسابات متأخرة أكثر من 90 يوماً"
                    icon: "⏳"
                    iconColor: Number(page.arrears.accounts_over_90) > 0 ? Theme.dangerColor : Theme.successColor
                }
            }

            // Money older than its currency's first rate is counted unconverted; say so.
            Label {
                objectName: "missingRateNote"
                readonly property var codes: page.stats.currenciesWithoutRate || []
                Layout.fillWidth: true
                visible: codes.length > 0
                text: "⚠ بعض المبالغ بعملة " + codes.join("، ")
                      + " أقدم من أول سعر صرف مسجل لها، فحُسبت في الإجماليات دون تحويل. "
                      + "أدخل سعر الصرف من صفحة الإعدادات."
                color: Theme.warningColor
                font.family: Theme.fontFamily
                font.pixelSize: 13
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignLeft
            }

            Rectangle {
                objectName: "alertsPanel"
                Layout.fillWidth: true
                Layout.preferredHeight: alertsColumn.implicitHeight + 32
                visible: alertsList.count > 0
                radius: 12
                color: Theme.bgCard
                border.color: Theme.borderColor

                ColumnLayout {
                    id: alertsColumn
                    anchors.fill: parent
                    anchors.margins: 16
                    spacing: 10

                    Label {
                        Layout.fillWidth: true
                        text: "🔔 تنبيهات هامة"
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 16
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }

                    ListView {
                        id: alertList
                        objectName: "alertList"
                        Layout.fillWidth: true
                        Layout.preferredHeight: Math.min(contentHeight, 200)
                        clip: true
                        spacing: 8
                        // Only the rows in view are built: a busy portfolio has thousands of alerts.
                        cacheBuffer: 0
                        model: alertsList
                        boundsBehavior: Flickable.StopAtBounds
                        ScrollBar.vertical: ScrollBar {}

                        delegate: Rectangle {
                            id: alertRow
                            required property var row
                            width: alertList.width
                            height: 56
                            radius: 8
                            color: Theme.bgSecondary
                            border.width: 1
                            border.color: row.severity === "high" ? Theme.dangerColor : Theme.borderColor

                            RowLayout {
                                anchors.fill: parent
                                anchors.leftMargin: 14
                                anchors.rightMargin: 14
                                spacing: 12

                                ColumnLayout {
                                    Layout.fillWidth: true
                                    spacing: 2
                                    Label {
                                        Layout.fillWidth: true
                                        text: Theme.text(alertRow.row.title)
                                        color: Theme.textPrimary
                                        font.family: Theme.fontFamily
                                        font.pixelSize: 14
                                        font.bold: true
                                        elide: Text.ElideRight
                                        horizontalAlignment: Text.AlignLeft
                                    }
                                    Label {
                                        Layout.fillWidth: true
                                        text: Theme.text(alertRow.row.detail)
                                        color: Theme.textSecondary
                                        font.family: Theme.fontFamily
                                        font.pixelSize: 12
                                        elide: Text.ElideRight
                                        horizontalAlignment: Text.AlignLeft
                                    }
                                }
                                MButton {
                                    objectName: "renewFromAlertButton"
                                    needs: "write"
                                    visible: alertRow.row.type === "contract" && Number(alertRow.row.contract_id) > 0
                                    text: "تجديد"
                                    implicitHeight: 32
                                    onClicked: renewDialog.openFor(Number(alertRow.row.contract_id))
                                }
                                MButton {
                                    text: "متابعة"
                                    implicitHeight: 32
                                    outline: true
                                    onClicked: page.followAlert(alertRow.row)
                                }
                            }
                        }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 16

                AnalyticsWidget {
                    objectName: "collectionChart"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 2
                    Layout.preferredHeight: 280
                    title: "معدلات التحصيل (آخر 6 شهور)"
                    data: page.chartData
                    maxValue: page.chartMax
                }

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.preferredHeight: 280
                    radius: 12
                    color: Theme.bgCard
                    border.color: Theme.borderColor

                    ColumnLayout {
                        anchors.fill: parent
                        anchors.margins: 20
                        spacing: 8

                        Label {
                            Layout.fillWidth: true
                            text: "حالة الوحدات"
                            color: Theme.textPrimary
                            font.family: Theme.fontFamily
                            font.pixelSize: 16
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                        Item {
                            Layout.fillWidth: true
                            Layout.fillHeight: true

                            Rectangle {
                                anchors.centerIn: parent
                                width: Math.min(parent.width, parent.height) - 10
                                height: width
                                radius: width / 2
                                color: "transparent"
                                border.width: 10
                                border.color: Theme.gold

                                ColumnLayout {
                                    anchors.centerIn: parent
                                    spacing: 2
                                    Label {
                                        objectName: "occupancyFigure"
                                        Layout.alignment: Qt.AlignHCenter
                                        text: page.occupancy.toFixed(0) + "%"
                                        color: Theme.textPrimary
                                        font.family: Theme.fontFamily
                                        font.pixelSize: 28
                                        font.bold: true
                                    }
                                    Label {
                                        Layout.alignment: Qt.AlignHCenter
                                        text: "نسبة الإشغال"
                                        color: Theme.textSecondary
                                        font.family: Theme.fontFamily
                                        font.pixelSize: 12
                                    }
                                }
                            }
                        }
                    }
                }
            }

            GridLayout {
                Layout.fillWidth: true
                columns: content.width < 900 ? 2 : 3
                columnSpacing: 16
                rowSpacing: 16

                DashboardList {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.alignment: Qt.AlignTop
                    title: "🕒 آخر العمليات"
                    emptyText: "لا توجد عمليات مسجلة"
                    model: page.logs
                    lineOne: row => Theme.text(row.details ? row.details : row.action)
                    lineTwo: row => (row.username ? row.username + " • " : "") + Theme.text(row.created_at)
                }
                DashboardList {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.alignment: Qt.AlignTop
                    title: "آخر المدفوعات"
                    emptyText: "لا توجد مدفوعات"
                    model: page.recentPayments
                    // Sale and installment payments have no tenant or invoice: show their reference.
                    lineOne: row => row.tenant_name ? Theme.text(row.tenant_name)
                                                    : (row.reference ? Theme.text(row.reference) : "دفعة")
                    lineTwo: row => row.property_name
                             ? Theme.text(row.property_name) + " - " + Theme.text(row.unit_number)
                             : Theme.text(row.payment_date)
                    sideText: row => Theme.money(row.amount)
                    tagText: "مكتمل"
                }
                DashboardList {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.alignment: Qt.AlignTop
                    title: "طلبات الصيانة"
                    emptyText: "لا توجد طلبات صيانة"
                    model: page.recentMaintenance
                    lineOne: row => Theme.text(row.title)
                    lineTwo: row => Theme.text(row.property_name) + " - " + Theme.text(row.unit_number)
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: insightsColumn.implicitHeight + 40
                radius: 12
                color: Theme.bgCard
                border.color: Theme.borderColor

                ColumnLayout {
                    id: insightsColumn
                    anchors.fill: parent
                    anchors.margins: 20
                    spacing: 12

                    Label {
                        Layout.fillWidth: true
                        text: "📈 تحليلات ذكية"
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 16
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 16

                        Repeater {
                            model: page.insights.slice(0, 2)

                            delegate: Rectangle {
                                id: insight
                                required property var modelData
                                Layout.fillWidth: true
                                Layout.preferredWidth: 1
                                Layout.preferredHeight: insightRow.implicitHeight + 24
                                radius: 10
                                color: Theme.bgSecondary

                                RowLayout {
                                    id: insightRow
                                    anchors.fill: parent
                                    anchors.margins: 12
                                    spacing: 12
                                    Label {
                                        Layout.alignment: Qt.AlignTop
                                        text: Theme.text(insight.modelData.icon)
                                        color: Theme.gold
                                        font.pixelSize: 22
                                    }
                                    ColumnLayout {
                                        Layout.fillWidth: true
                                        spacing: 4
                                        Label {
                                            Layout.fillWidth: true
                                            text: Theme.text(insight.modelData.title)
                                            color: Theme.gold
                                            font.family: Theme.fontFamily
                                            font.pixelSize: 14
                                            font.bold: true
                                            horizontalAlignment: Text.AlignLeft
                                        }
                                        Label {
                                            Layout.fillWidth: true
                                            text: Theme.text(insight.modelData.description)
                                            color: Theme.textSecondary
                                            font.family: Theme.fontFamily
                                            font.pixelSize: 13
                                            wrapMode: Text.WordWrap
                                            horizontalAlignment: Text.AlignLeft
                                        }
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }
    }

    RenewContractDialog {
        id: renewDialog
        objectName: "dashboardRenewDialog"
        onRenewed: page.refreshData()
    }
}
