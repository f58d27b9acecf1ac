import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    // The register read a screenful at a time, narrowed in SQL by tab and filter.
    property var cheques: listCatalog.open("cheques", page)
    property var summary: []
    property alias tab: tabs.currentIndex
    property var calendar: ({ days: [], banks: [], cheques: [] })
    readonly property var calendarSpans: [7, 30, 90]
    readonly property bool narrow: width < 900

    readonly property var statusCards: [
        { status: "pending", label: "معلق", color: Theme.warningColor, icon: "⏳" },
        { status: "paid", label: "تم الصرف", color: Theme.successColor, icon: "✔" },
        { status: "bounced", label: "مرتجع", color: Theme.dangerColor, icon: "✕" }
    ]

    function loadTab() {
        cheques.active = visible && tabs.currentIndex !== 4
        if (tabs.currentIndex === 4) {
            var shown = chequeModel.calendar(calendarSpans[spanChips.currentIndex])
            // The day's total stands on its first cheque only.
            var rows = Theme.rows(shown.cheques)
            for (var i = 0; i < rows.length; ++i)
                rows[i].day_total = i === 0 || rows[i - 1].due_date !== rows[i].due_date
                        ? dayTotal(shown.days, rows[i].due_date) : ""
            shown.cheques = rows
            calendar = shown
            return
        }
        applyFilter()
    }

    // Received, issued, or pending and due after today (soonest first); the newest due first
    // otherwise.
    function applyFilter() {
        var tab = tabs.currentIndex
        cheques.filters = tab === 1 ? { type: "received" } : tab === 2 ? { type: "issued" }
                        : tab === 3 ? { pendingAfter: Theme.today() } : {}
        cheques.descending = tab !== 3
        cheques.search = listFilter.searchText()
        cheques.from = listFilter.fromText()
        cheques.to = listFilter.toText()
    }

    // An alert about a cheque shows that cheque alone in the full list.
    function openRecord(kind, id) {
        var cheque = kind === "cheque" ? database.getById("cheques", id) : null
        if (!cheque || !cheque.id)
            return
        tabs.currentIndex = 0
        listFilter.setSearch(Theme.text(cheque.cheque_number))
        loadTab()
    }

    function reload() {
        totalsCall.run()
        loadTab()
        cheques.reload()
    }

    // Count and total per status from one grouped sum over every cheque, read on the second
    // connection: the cards fill in after the list is drawn.
    BackgroundCall {
        id: totalsCall
        object: "cheques"
        method: "statusTotals"
        onReady: result => page.showTotals(Theme.rows(result))
    }

    function showTotals(totals) {
        var cards = []
        for (var i = 0; i < statusCards.length; ++i) {
            var found = totals.filter(t => t.status === statusCards[i].status)[0]
            cards.push({ count: found ? Number(found.count) : 0, sum: found ? Number(found.total) : 0 })
        }
        summary = cards
    }

    // The moves the page offers, each through its own operation.
    function move(row, status, reason) {
        var id = Number(row.id)
        var done = status === "deposited" ? chequeModel.deposit(id)
                 : status === "paid" ? chequeModel.clear(id)
                 : status === "bounced" ? chequeModel.bounce(id, reason)
                 : status === "returned" ? chequeModel.returnToDrawer(id)
                 : chequeModel.cancel(id)
        message.text = done ? "" : (chequeModel.lastRefusal !== "" ? chequeModel.lastRefusal
                                                                   : "تعذر تحديث حالة الشيك")
        if (done)
            reload()
    }

    function setStatus(row, status) {
        move(row, status, "other")
    }

    function describe(row) {
        var party = Theme.text(row.type === "issued" ? row.payee_name : row.payer_name)
        if (party === "")
            party = Theme.text(row.party_name)
        return "الشيك رقم " + Theme.text(row.cheque_number) + " بمبلغ \u2066" + Theme.number(row.amount)
                + " " + (row.currency_symbol ? row.currency_symbol : "₪") + "\u2069"
                + (party !== "" ? " (" + party + ")" : "")
    }

    function pays(row) {
        if (Theme.text(row.linked_invoices) !== "")
            return "يدفع الفواتير " + row.linked_invoices
        if (Theme.text(row.lease_unit) !== "")
            return "يدفع إيجار الوحدة " + row.lease_unit
        if (Theme.text(row.installment_due) !== "")
            return "يدفع قسط " + row.installment_due
        return ""
    }

    // The row itself travels with the question, so the answer acts on the cheque the user saw.
    function askStatus(row, status) {
        var what = describe(row)
        if (status === "paid") {
            var recorded = row.type === "received" && pays(row) !== ""
                    ? " وتُسجل دفعة بقيمته على ما يدفعه." : "."
            confirm.ask(row.type === "issued" ? "صرف الشيك" : "تحصيل الشيك",
                        "سيُسجل " + what + " على أنه " + (row.type === "issued" ? "صُرف" : "حُصّل") + recorded,
                        row.type === "issued" ? "✔ صرف" : "✔ تحصيل",
                        page.setStatus.bind(page, row, status), false)
        } else if (status === "bounced") {
            var undo = row.status === "paid" && row.type === "received"
                    ? " وتُعكس الدفعة التي سجلها تحصيله." : ""
            var fee = row.type === "received" && settingsManager.bounceFee > 0
                    ? " وتُحمَّل على الساحب رسوم ارتجاع " + Theme.number(settingsManager.bounceFee) + "." : ""
            var reasons = Theme.rows(chequeModel.bounceReasons())
            confirm.askChoice("ارتجاع الشيك", "سيُسجل " + what + " كشيك مرتجع" + (undo || ".") + fee,
                              "✕ ارتجاع", "سبب الارتجاع", reasons.map(r => r.label),
                              index => page.move(row, "bounced", reasons[index].key))
        } else if (status === "deposited") {
            confirm.ask("إيداع الشيك", "سيُسجل إيداع " + what + " في البنك اليوم.", "⤓ إيداع",
                        page.move.bind(page, row, status, ""), false)
        }
    }

    // A narrow window leaves the bank to the cheque's details, so dates and amounts fit.
    function tableColumns(narrow) {
        var all = [
            { title: "الشيك", w: narrow ? 1.2 : 2.2,
              color: r => r.type === "received" ? Theme.successColor : Theme.warningColor, bold: true,
              value: r => (r.type === "received" ? "⬇ وارد " : "⬆ صادر ") + Theme.text(r.cheque_number) },
            { title: narrow ? "الطرف" : "الساحب / المستفيد", w: narrow ? 1.3 : 2,
              value: r => Theme.text(r.type === "issued" ? r.payee_name : r.payer_name) || Theme.text(r.party_name) },
            { title: "البنك", w: 1.6, wide: true, value: r => r.bank_name },
            { title: "الاستحقاق", w: narrow ? 1.2 : 1.5, value: r => r.due_date },
            { title: "المبلغ", w: narrow ? 1.4 : 1.5, bold: true, color: () => Theme.gold,
              value: r => Theme.number(r.amount) + " " + (r.currency_symbol ? r.currency_symbol : "₪") },
            { title: "الحالة", w: narrow ? 0.8 : 1.3, value: r => page.statusText(r.status, r.type),
              color: r => page.statusColor(r.status), bold: true }
        ]
        var shown = []
        for (var i = 0; i < all.length; ++i) {
            if (!narrow || !all[i].wide)
                shown.push(all[i])
        }
        return shown
    }

    // What falls due on `day`, per currency, from the calendar's day totals.
    function dayTotal(days, day) {
        var parts = []
        for (var i = 0; i < days.length; ++i) {
            var d = days[i]
            if (d.due_date === day)
                parts.push(Theme.number(d.total) + " " + Theme.text(d.currency_symbol) + " (" + d.count + " شيك)")
        }
        return parts.join("، ")
    }

    function statusText(status, type) {
        return status === "paid" ? (type === "received" ? "تم التحصيل" : "تم الصرف")
             : status === "pending" ? "مؤجل"
             : status === "deposited" ? "مودع"
             : status === "returned" ? "معاد للساحب"
             : status === "cancelled" ? "ملغى" : "مرتجع"
    }

    function statusColor(status) {
        return status === "paid" ? Theme.successColor
             : status === "pending" ? Theme.warningColor
             : status === "deposited" ? "#38bdf8"
             : status === "bounced" ? Theme.dangerColor : Theme.textMuted
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a page reads its lists only once it is shown, so a
    // large portfolio does not load every list up front.
    Component.onCompleted: if (visible)
        reload()
    onVisibleChanged: {
        cheques.active = visible && tabs.currentIndex !== 4
        if (visible)
            reload()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "إدارة الشيكات"
            subtitle: "تتبع الشيكات الصادرة والواردة - متعدد العملات"

            MButton {
                objectName: "addChequeButton"
                needs: "write"
                text: "+ تسجيل شيك"
                onClicked: chequeDialog.openFor(null)
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 16
            Repeater {
                model: page.statusCards
                delegate: StatsCard {
                    required property var modelData
                    required property int index
                    objectName: "chequeStatus" + index
                    Layout.fillWidth: true
                    Layout.preferredHeight: 96
                    title: modelData.label + ": " + (page.summary[index] ? page.summary[index].count : 0)
                    value: Theme.number(page.summary[index] ? page.summary[index].sum : 0)
                    icon: modelData.icon
                    iconColor: modelData.color
                    loading: totalsCall.loading && page.summary.length === 0
                }
            }
        }

        FilterChips {
            id: tabs
            objectName: "chequeTab"
            model: ["الكل", "الشيكات الواردة", "الشيكات الصادرة", "مؤجلة (مستقبلية)", "تقويم الإيداع"]
            onSelected: page.loadTab()
        }

        ListFilter {
            id: listFilter
            objectName: "chequeListFilter"
            visible: tabs.currentIndex !== 4
            Layout.fillWidth: true
            onChanged: page.applyFilter()
        }

        Label {
            id: message
            objectName: "pageMessage"
            Layout.fillWidth: true
            visible: text !== ""
            color: Theme.dangerColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }

        DataTable {
            objectName: "chequesTable"
            visible: tabs.currentIndex !== 4
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.cheques
            rowHeight: 56
            actionsWidth: 300
            emptyText: listFilter.searchText() !== "" ? "لا توجد شيكات تطابق البحث" : "لا توجد شيكات"
            columns: page.tableColumns(page.narrow)
            actions: [
                { text: "✎", name: "editChequeButton", needs: "write", outline: true,
                  show: r => r.status === "pending", run: r => chequeDialog.openFor(r) },
                { text: "⤓ إيداع", name: "depositChequeButton", needs: "write", color: "#38bdf8", outline: true,
                  show: r => chequeModel.canMove(r.type, r.status, "deposited"), run: r => page.askStatus(r, "deposited") },
                { text: "✔ صرف", name: "cashChequeButton", needs: "write", color: Theme.successColor,
                  show: r => chequeModel.canMove(r.type, r.status, "paid"), run: r => page.askStatus(r, "paid") },
                { text: "✕ ارتجاع", name: "bounceChequeButton", needs: "write", color: Theme.dangerColor, outline: true,
                  show: r => chequeModel.canMove(r.type, r.status, "bounced"), run: r => page.askStatus(r, "bounced") },
                { text: "⋯", name: "chequeDetailsButton", outline: true,
                  run: r => detailsDialog.openFor(r) }
            ]
        }

        ColumnLayout {
            objectName: "chequeCalendar"
            visible: tabs.currentIndex === 4
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 12

            RowLayout {
                Layout.fillWidth: true
                spacing: 12
                FilterChips {
                    id: spanChips
                    objectName: "calendarSpan"
                    model: ["7 أيام", "30 يوماً", "90 يوماً"]
                    onSelected: page.loadTab()
                }
                Item {
                    Layout.fillWidth: true
                }
            }

            Flow {
                objectName: "calendarBanks"
                Layout.fillWidth: true
                spacing: 12
                Repeater {
                    model: page.calendar.banks
                    delegate: Rectangle {
                        required property var modelData
                        width: bankColumn.implicitWidth + 32
                        height: 64
                        radius: 10
                        color: Theme.bgCard
                        border.color: Theme.borderColor
                        ColumnLayout {
                            id: bankColumn
                            anchors.centerIn: parent
                            spacing: 2
                            Label {
                                text: (Theme.text(modelData.bank) || "بنك غير محدد") + " · " + modelData.count + " شيك"
                                color: Theme.textSecondary
                                font.family: Theme.fontFamily
                                font.pixelSize: 12
                            }
                            Label {
                                text: Theme.number(modelData.total) + " " + Theme.text(modelData.currency_symbol)
                                color: Theme.gold
                                font.family: Theme.fontFamily
                                font.pixelSize: 16
                                font.bold: true
                            }
                        }
                    }
                }
            }

            DataTable {
                objectName: "calendarTable"
                Layout.fillWidth: true
                Layout.fillHeight: true
                rows: page.calendar.cheques
                rowHeight: 48
                emptyText: "لا شيكات واردة تستحق الإيداع في هذه الفترة"
                columns: [
                    { title: "يوم الاستحقاق", w: 1.6, bold: true, value: r => r.due_date },
                    { title: "الشيك", w: 1.4, value: r => r.cheque_number },
                    { title: "الساحب", w: 2.2, value: r => Theme.text(r.payer_name) || Theme.text(r.party_name) },
                    { title: "البنك", w: 1.8, value: r => r.bank_name },
                    { title: "المبلغ", w: 1.5, bold: true, color: () => Theme.gold,
                      value: r => Theme.number(r.amount) + " " + Theme.text(r.currency_symbol) },
                    { title: "مجموع اليوم", w: 2, bold: true, color: () => Theme.textPrimary,
                      value: r => r.day_total }
                ]
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }

    NewChequeDialog {
        id: chequeDialog
        objectName: "newChequeDialog"
        onSaved: page.reload()
    }

    ChequeDetailsDialog {
        id: detailsDialog
        objectName: "chequeDetailsDialog"
        onChanged: page.reload()
    }
}
