import QtQuick
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var requests: []
    property alias filter: filters.currentIndex
    readonly property var statuses: ["", "new", "in_progress", "completed"]

    function reload() {
        var status = statuses[filters.currentIndex]
        requests = Theme.rows(status === "" ? maintenanceModel.getAll()
                                            : maintenanceModel.getByStatus(status))
    }

    function priorityText(p) {
        return p === "high" ? "عاجل" : p === "medium" ? "متوسط" : "منخفض"
    }

    function statusText(s) {
        return s === "completed" ? "مكتمل" : s === "in_progress" ? "قيد التنفيذ" : "جديد"
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
            title: "الصيانة"
            subtitle: "إدارة طلبات الصيانة والإصلاحات"

            MButton {
                objectName: "addMaintenanceButton"
                needs: "write"
                text: "+ طلب صيانة"
                onClicked: requestDialog.open()
            }
        }

        FilterChips {
            id: filters
            objectName: "maintenanceFilter"
            model: ["الكل", "جديد", "قيد التنفيذ", "مكتمل"]
            onSelected: page.reload()
        }

        DataTable {
            objectName: "maintenanceTable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.requests
            actionsWidth: 90
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
    CompleteMaintenanceDialog {
        id: completeDialog
        objectName: "completeMaintenanceDialog"
        onCompleted: page.reload()
    }
}
