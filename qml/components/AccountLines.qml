import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// The lines of an account statement: date, description, reference, charge, payment and the
// running balance, first column on the right. `account` is what reportCtrl's get…Account gives.
ColumnLayout {
    id: view

    property var account: ({})
    property string emptyText: ""
    // Row actions, as DataTable takes them.
    property var actions: []
    property int actionsWidth: 0
    property string debitTitle: "مدين"
    property string creditTitle: "دائن"
    readonly property var lines: account && account.lines ? account.lines : []
    readonly property bool ranged: !!(account && account.from)

    function amount(value) {
        return Number(value) !== 0 ? Theme.money(value) : ""
    }

    function statusText(s) {
        return s === "paid" ? "مسدد" : s === "partial" ? "مسدد جزئياً" : s === "overdue" ? "متأخر"
             : s === "due" || s === "pending" ? "مستحق" : ""
    }

    spacing: 6

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        Repeater {
            model: view.account && view.account.currencies ? view.account.currencies : []
            delegate: StatsCard {
                required property var modelData
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                objectName: "statementBalanceCard"
                title: "الرصيد المستحق (" + modelData.currency_symbol + ")"
                value: Theme.number(modelData.closing_balance) + " " + modelData.currency_symbol
                icon: "⚖️"
            }
        }
    }

    Label {
        Layout.fillWidth: true
        visible: view.lines.length === 0
        text: view.emptyText
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    DataTable {
        objectName: "statementLines"
        Layout.fillWidth: true
        Layout.preferredHeight: Math.min(430, 48 + view.lines.length * rowHeight)
        visible: view.lines.length > 0
        rowHeight: 44
        rows: view.lines
        actions: view.actions
        actionsWidth: view.actionsWidth
        columns: [
            { title: "التاريخ", w: 2, value: r => Theme.text(r.date) },
            { title: "البيان", w: 5, value: r => Theme.text(r.description)
                  + (view.statusText(r.status) ? " — " + view.statusText(r.status) : ""), bold: true },
            { title: "المرجع", w: 3, value: r => Theme.text(r.ref) },
            { title: view.debitTitle, w: 2, value: r => view.amount(r.debit), color: () => Theme.dangerColor },
            { title: view.creditTitle, w: 2, value: r => view.amount(r.credit), color: () => Theme.successColor },
            { title: "الرصيد", w: 2, value: r => Theme.money(r.balance) }
        ]
    }
}
