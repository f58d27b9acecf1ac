import QtQuick
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    // Each read a screenful at a time, narrowed in SQL, and only while its section is shown.
    property var requests: listCatalog.open("maintenance", page)
    property var expenses: listCatalog.open("expenses", page)
    property alias section: sections.currentIndex
    property alias filter: filters.currentIndex
    readonly property var statuses: ["", "new", "in_progress", "completed"]

    function reload() {
        show()
        applyFilter()
        requests.reload()
        expenses.reload()
    }

    function show() {
        requests.active = visible && sections.currentIndex === 0
        expenses.active = visible && sections.currentIndex === 1
    }

    function applyFilter() {
        requests.filters = { status: statuses[filters.currentIndex] }
        for (var list of [requests, expenses]) {
            list.search = listFilter.searchText()
            list.from = listFilter.fromText()
            list.to = listFilter.toText()
        }
    }

    function methodText(m) {
        return m === "bank" ? "تحويل بنكي" : m === "cheque" ? "شيك" : m === "cash" ? "نقداً" : ""
    }

    function priorityText(p) {
        return p === "high" ? "عاجل" : p === "medium" ? "متوسط" : "منخفض"
    }

    function statusText(s) {
        return s === "completed" ? "مكتمل" : s === "in_progress" ? "قيد التنفيذ" : "جديد"
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a list is read only while its page is shown.
    Component.onCompleted: show()
    onVisibleChanged: show()

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "الصيانة"
            subtitle: "إدارة طلبات الصيانة والإصلاحات"

            MButton {
                objectName: "addExpenseButton"
                needs: "write"
                text: "+ مصروف"
                outline: true
                onClicked: expenseDialog.openFor(null, 0)
            }
            MButton {
                objectName: "addMaintenanceButton"
                needs: "write"
                text: "+ طلب صيانة"
                onClicked: requestDialog.openFor(null)
            }
        }

        FilterChips {
            id: sections
            objectName: "maintenanceSection"
            model: ["طلبات الصيانة", "المصروفات"]
            onSelected: page.show()
        }

        ListFilter {
            id: listFilter
            objectName: "maintenanceListFilter"
            Layout.fillWidth: true
            onChanged: page.applyFilter()
        }

        FilterChips {
            id: filters
            objectName: "maintenanceFilter"
            visible: sections.currentIndex === 0
            model: ["الكل", "جديد", "قيد التنفيذ", "مكتمل"]
            onSelected: page.applyFilter()
        }

        DataTable {
            objectName: "expensesTable"
            visible: sections.currentIndex === 1
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.expenses
            actionsWidth: 110
            emptyText: "لا توجد مصروفات"
            columns: [
                { title: "التاريخ", w: 1.6, value: r => r.expense_date },
                { title: "الفئة", w: 1.4, value: r => r.category, bold: true },
                { title: "العقار - الوحدة", w: 2.6, value: r => r.property_name
                      ? Theme.text(r.property_name) + (r.unit_number ? " - " + r.unit_number : "") : "عام" },
                { title: "المقاول", w: 2, value: r => Theme.text(r.contractor_name) },
                { title: "الوصف", w: 2.4, value: r => Theme.text(r.description) },
                { title: "الدفع", w: 1.3, value: r => page.methodText(r.payment_method) },
                { title: "المبلغ", w: 1.6, value: r => Theme.money(r.amount), bold: true,
                  color: () => Theme.gold }
            ]
            actions: [
                { text: "✎", name: "editExpenseButton", needs: "write", outline: true,
                  run: r => expenseDialog.openFor(r, 0) },
                { text: "سند", name: "expenseVoucherButton", outline: true,
                  show: r => Number(r.voucher_id) > 0,
                  run: r => {
                      var voucher = voucherModel.forPrint(Number(r.voucher_id))
                      if (voucher.id)
                          printCtrl.printVoucher(voucher, false)
                  } }
            ]
        }

        DataTable {
            objectName: "maintenanceTable"
            visible: sections.currentIndex === 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.requests
            actionsWidth: 130
            emptyText: "لا توجد طلبات صيانة"
            columns: [
                { title: "الطلب", w: 3, value: r => r.title, bold: true },
                { title: "العقار - الوحدة", w: 3, value: r => Theme.text(r.property_name) + " - "
                      + Theme.text(r.unit_number) },
                { title: "الأولوية", w: 1.2, value: r => page.priorityText(r.priority),
                  color: r => r.priority === "high" ? Theme.dangerColor
                                                    : r.priority === "medium" ? Theme.warningColor : Theme.textSecondary },
                { title: "التاريخ", w: 1.8, value: r => r.request_date },
                { title: "الحالة", w: 1.5, value: r => page.statusText(r.status),
                  color: r => r.status === "completed" ? Theme.successColor : Theme.gold },
                { title: "التكلفة", w: 2, value: r => r.status === "completed"
                      ? "التكلفة: " + Theme.money(r.cost) : "" }
            ]
            actions: [
                { text: "✎", name: "editMaintenanceButton", needs: "write", outline: true,
                  run: r => requestDialog.openFor(r) },
                { text: "إكمال", name: "completeMaintenanceButton", needs: "write",
                  show: r => r.status !== "completed",
                  run: r => {
                      completeDialog.requestId = Number(r.id)
                      completeDialog.requestTitle = Theme.text(r.title)
                      completeDialog.open()
                  } }
            ]
        }
    }

    MaintenanceRequestDialog {
        id: requestDialog
        objectName: "maintenanceRequestDialog"
        onAdded: page.reload()
    }
    ExpenseDialog {
        id: expenseDialog
        objectName: "expenseDialog"
        onSaved: {
            sections.currentIndex = 1
            page.reload()
        }
    }
    CompleteMaintenanceDialog {
        id: completeDialog
        objectName: "completeMaintenanceDialog"
        onCompleted: page.reload()
    }
}
