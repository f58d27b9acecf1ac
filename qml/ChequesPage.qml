import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var cheques: []
    property var allCheques: []
    property var summary: []
    property alias tab: tabs.currentIndex

    readonly property var statusCards: [
        { status: "pending", label: "معلق", color: Theme.warningColor, icon: "⏳" },
        { status: "paid", label: "تم الصرف", color: Theme.successColor, icon: "✔" },
        { status: "bounced", label: "مرتجع", color: Theme.dangerColor, icon: "✕" }
    ]

    function loadTab() {
        if (tabs.currentIndex === 1)
            allCheques = Theme.rows(chequeModel.getByType("received"))
        else if (tabs.currentIndex === 2)
            allCheques = Theme.rows(chequeModel.getByType("issued"))
        else if (tabs.currentIndex === 3)
            allCheques = Theme.rows(chequeModel.getPostDated())
        else
            allCheques = Theme.rows(chequeModel.getAll())
        applyFilter()
    }

    function applyFilter() {
        cheques = allCheques.filter(c => listFilter.accepts(
                                        [c.cheque_number, c.bank_name, c.payer_name, c.payee_name],
                                        c.due_date))
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
        var cards = []
        for (var i = 0; i < statusCards.length; ++i) {
            var rows = Theme.rows(chequeModel.getByStatus(statusCards[i].status))
            var sum = 0
            for (var r = 0; r < rows.length; ++r)
                sum += Number(rows[r].amount) || 0
            cards.push({ count: rows.length, sum: sum })
        }
        summary = cards
        loadTab()
    }

    function setStatus(row, status) {
        if (chequeModel.updateStatus(Number(row.id), status)) {
            message.text = ""
            reload()
        } else {
            message.text = "تعذر تحديث حالة الشيك"
        }
    }

    // The row itself travels with the question, so the answer acts on the cheque the user saw.
    function askStatus(row, status) {
        var party = Theme.text(row.type === "issued" ? row.payee_name : row.payer_name)
        var what = "الشيك رقم " + Theme.text(row.cheque_number) + " بمبلغ " + Theme.number(row.amount)
                + " " + (row.currency_symbol ? row.currency_symbol : "₪")
                + (party !== "" ? " (" + party + ")" : "")
        if (status === "paid")
            confirm.ask("صرف الشيك", "سيُسجل " + what + " على أنه صُرف.", "✔ صرف",
                        page.setStatus.bind(page, row, status), false)
        else
            confirm.ask("ارتجاع الشيك", "سيُسجل " + what + " كشيك مرتجع.", "✕ ارتجاع",
                        page.setStatus.bind(page, row, status))
    }

    function statusText(status) {
        return status === "paid" ? "تم الصرف" : status === "pending" ? "مؤجل" : "مرتجع"
    }

    function statusColor(status) {
        return status === "paid" ? Theme.successColor
                                 : status === "pending" ? Theme.warningColor : Theme.dangerColor
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a page reads its lists only once it is shown, so a
    // large portfolio does not load every list up front.
    Component.onCompleted: if (visible)
        reload()
    onVisibleChanged: if (visible)
        reload()

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
                }
            }
        }

        FilterChips {
            id: tabs
            objectName: "chequeTab"
            model: ["الكل", "الشيكات الواردة", "الشيكات الصادرة", "مؤجلة (مستقبلية)"]
            onSelected: page.loadTab()
        }

        ListFilter {
            id: listFilter
            objectName: "chequeListFilter"
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
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.cheques
            rowHeight: 56
            actionsWidth: 220
            emptyText: "لا توجد شيكات"
            columns: [
                { title: "الشيك", w: 2.2, color: () => Theme.textPrimary, bold: true,
                  value: r => (r.type === "received" ? "📥 " : "📤 ") + "رقم: " + Theme.text(r.cheque_number) },
                { title: "البنك", w: 2.2, value: r => r.bank_name },
                { title: "الاستحقاق", w: 1.8, value: r => r.due_date },
                { title: "المبلغ", w: 1.6, bold: true, color: () => Theme.gold,
                  value: r => Theme.number(r.amount) + " " + (r.currency_symbol ? r.currency_symbol : "₪") },
                { title: "الحالة", w: 1.2, value: r => page.statusText(r.status),
                  color: r => page.statusColor(r.status), bold: true }
            ]
            actions: [
                { text: "✎", name: "editChequeButton", needs: "write", outline: true,
                  show: r => r.status === "pending", run: r => chequeDialog.openFor(r) },
                { text: "✔ صرف", name: "cashChequeButton", needs: "write", color: Theme.successColor,
                  show: r => r.status === "pending", run: r => page.askStatus(r, "paid") },
                { text: "✕ ارتجاع", name: "bounceChequeButton", needs: "write", color: Theme.dangerColor, outline: true,
                  show: r => r.status === "pending", run: r => page.askStatus(r, "bounced") }
            ]
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
}
