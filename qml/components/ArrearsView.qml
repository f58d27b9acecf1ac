import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// What tenants and buyers owe today by age, one row per account, property and currency; the
// totals per property and per currency below. Reminders go to one account or to all at once.
ColumnLayout {
    id: view

    property var report: ({})
    property var properties: []
    readonly property var rows: report && report.rows ? report.rows : []
    readonly property int propertyId: propertyFilter.currentIndex > 0
                                      ? Number(properties[propertyFilter.currentIndex - 1].id) : 0
    readonly property var sortKeys: ["overdue", "over90", "total", "name", "property"]
    readonly property string sortKey: sortKeys[Math.max(0, sortBox.currentIndex)]
    readonly property bool narrow: width < 900

    signal said(string text, bool ok)

    // The aging adds up every charge and payment: it is read on the second connection.
    function reload() {
        properties = Theme.rows(propertyModel.getAll())
        arrearsCall.run([propertyId, sortKey])
    }

    readonly property bool loading: arrearsCall.loading

    BackgroundCall {
        id: arrearsCall
        object: "reports"
        method: "getArrears"
        onReady: result => view.report = result || {}
    }

    function propertyNames() {
        var names = ["كل العقارات"]
        for (var i = 0; i < properties.length; ++i)
            names.push(Theme.text(properties[i].name))
        return names
    }

    function amount(row, key) {
        return Theme.number(row[key])
    }

    // The age columns with the currency beside them; narrow windows leave the property out (the
    // filter above names it).
    function ageColumns(first) {
        var list = first.slice()
        list.push({ title: "العملة", w: 1, value: r => Theme.text(r.currency_symbol) })
        list.push({ title: "لم يستحق", w: 2, value: r => view.amount(r, "current") })
        list.push({ title: "1-30", w: 2, value: r => view.amount(r, "d30") })
        list.push({ title: "31-60", w: 2, value: r => view.amount(r, "d60"),
                    color: r => Number(r.d60) > 0 ? Theme.warningColor : Theme.textSecondary })
        list.push({ title: "61-90", w: 2, value: r => view.amount(r, "d90"),
                    color: r => Number(r.d90) > 0 ? Theme.warningColor : Theme.textSecondary })
        list.push({ title: "أكثر من 90", w: 2, value: r => view.amount(r, "over90"),
                    color: r => Number(r.over90) > 0 ? Theme.dangerColor : Theme.textSecondary })
        list.push({ title: "الإجمالي", w: 2, value: r => view.amount(r, "total"), bold: true,
                    color: () => Theme.gold })
        return list
    }

    // The totals per currency first, then the converted grand total when the currencies differ,
    // then each property's.
    function totalRows() {
        var list = []
        var byCurrency = Theme.rows(report.totals)
        for (var j = 0; j < byCurrency.length; ++j)
            list.push(Object.assign({ label: "الإجمالي", bold: true }, byCurrency[j]))
        if (Theme.text(report.note) !== "")
            list.push(Object.assign({ label: "الموحد", bold: true }, report.total_primary))
        var byProperty = Theme.rows(report.property_totals)
        for (var i = 0; i < byProperty.length; ++i)
            list.push(Object.assign({ label: Theme.text(byProperty[i].property_name) || "بدون عقار" },
                                    byProperty[i]))
        return list
    }

    function remind(row) {
        var letter = reminderModel.send(row.kind, Number(row.person_id), "pdf")
        if (!letter || !letter.text) {
            said("لا توجد مبالغ متأخرة على " + Theme.text(row.name), false)
            return
        }
        printCtrl.printReminders([letter])
    }

    function remindAll() {
        var letters = Theme.rows(reminderModel.sendAll(propertyId, "pdf"))
        if (letters.length === 0) {
            said("لا توجد حسابات متأخرة لإرسال تذكير لها", false)
            return
        }
        printCtrl.printReminders(letters)
    }

    spacing: 10

    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MComboBox {
            id: propertyFilter
            objectName: "arrearsPropertyFilter"
            Layout.preferredWidth: 220
            model: view.propertyNames()
            currentIndex: 0
            onActivated: view.reload()
        }
        MComboBox {
            id: sortBox
            objectName: "arrearsSort"
            Layout.preferredWidth: 200
            model: ["الترتيب: المتأخر أولاً", "الترتيب: أكثر من 90 يوماً", "الترتيب: الإجمالي",
                "الترتيب: الاسم", "الترتيب: العقار"]
            currentIndex: 0
            onActivated: view.reload()
        }
        Item {
            Layout.fillWidth: true
        }
        MButton {
            objectName: "remindAllButton"
            text: "تذكير الجميع"
            iconSymbol: "✉"
            needs: "write"
            onClicked: confirm.ask("تذكير كل المتأخرين",
                                   "ستُكتب رسالة تذكير لكل حساب عليه مبالغ متأخرة"
                                   + (view.propertyId > 0 ? " في العقار المختار" : "")
                                   + " في ملف PDF واحد، ويُسجل كل تذكير في سجل صاحبه.",
                                   "✉ تذكير الجميع", () => view.remindAll(), false)
        }
    }

    Label {
        Layout.fillWidth: true
        visible: Theme.text(view.report.note) !== ""
        text: "المبالغ بعملاتها ولا تُجمع عملات مختلفة؛ الإجمالي الموحد محوّل إلى "
              + Theme.text(view.report.primary_symbol) + " بسعر الصرف في تاريخ كل مبلغ."
        color: Theme.warningColor
        font.family: Theme.fontFamily
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    DataTable {
        id: table
        objectName: "arrearsReport"
        Layout.fillWidth: true
        Layout.fillHeight: true
        rows: view.rows
        emptyText: "لا توجد مبالغ مفتوحة"
        rowHeight: 44
        actionsWidth: 70
        columns: view.ageColumns(view.narrow
            ? [{ title: "الحساب", w: 3, bold: true, value: r => Theme.text(r.name) }]
            : [{ title: "الحساب", w: 3, bold: true,
                 value: r => Theme.text(r.name) + (r.kind === "buyer" ? " (مشتري)" : " (مستأجر)") },
               { title: "العقار", w: 3, value: r => Theme.text(r.property_name) || "بدون عقار" }])
        actions: [
            { text: "تذكير", name: "arrearsRemindButton", needs: "write", outline: true,
              show: r => Number(r.overdue) > 0, run: r => view.remind(r) }
        ]
    }

    DataTable {
        objectName: "arrearsTotals"
        Layout.fillWidth: true
        Layout.preferredHeight: 44 + Math.min(rows.length, 3) * rowHeight + 4
        rowHeight: 34
        rows: view.totalRows()
        emptyText: ""
        actionsWidth: table.actionsWidth
        columns: view.ageColumns([{ title: "الإجمالي", w: view.narrow ? 2 : 6, value: r => r.label,
                                     bold: true }])
    }

    ConfirmDialog {
        id: confirm
        objectName: "arrearsConfirm"
    }
}
