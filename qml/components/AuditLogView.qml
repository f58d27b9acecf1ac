import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Who did what: the audit trail newest first, a page at a time, filtered by user, by entity and
// by a date range (yyyy-MM-dd, both ends included).
ColumnLayout {
    id: view

    property var users: []
    property var entities: []
    property var logs: []
    property int total: 0
    property int pageIndex: 0
    readonly property int pageSize: 50
    readonly property int pageCount: Math.max(1, Math.ceil(total / pageSize))

    // "All" first, then one label per row.
    function choices(rows, label) {
        var list = ["الكل"]
        for (var i = 0; i < rows.length; ++i)
            list.push(label(rows[i]))
        return list
    }
    function userFilter() {
        var i = userBox.currentIndex
        return i > 0 ? Number(users[i - 1].id) : 0
    }
    function entityFilter() {
        var i = entityBox.currentIndex
        return i > 0 ? String(entities[i - 1].table) : ""
    }
    function dateFilter(field) {
        var t = field.text.trim()
        return /^\d{4}-\d{2}-\d{2}$/.test(t) ? t : ""
    }
    function reload() {
        users = Theme.rows(authCtrl.getUsers())
        entities = Theme.rows(auditMgr.getEntities())
        showPage(0)
    }
    function showPage(index) {
        var from = dateFilter(fromField)
        var to = dateFilter(toField)
        total = auditMgr.countLogs(userFilter(), entityFilter(), from, to)
        pageIndex = Math.max(0, Math.min(index, pageCount - 1))
        logs = Theme.rows(auditMgr.getLogsPage(userFilter(), entityFilter(), from, to,
                                               pageIndex * pageSize, pageSize))
    }

    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        spacing: 12

        MComboBox {
            id: userBox
            objectName: "auditUserFilter"
            Layout.preferredWidth: 180
            label: "المستخدم"
            model: view.choices(view.users, u => Theme.text(u.username))
            currentIndex: 0
            onActivated: view.showPage(0)
        }
        MComboBox {
            id: entityBox
            objectName: "auditEntityFilter"
            Layout.preferredWidth: 180
            label: "النوع"
            model: view.choices(view.entities, e => Theme.text(e.label))
            currentIndex: 0
            onActivated: view.showPage(0)
        }
        MTextField {
            id: fromField
            objectName: "auditFromField"
            Layout.preferredWidth: 150
            label: "من تاريخ"
            placeholderText: "yyyy-MM-dd"
        }
        MTextField {
            id: toField
            objectName: "auditToField"
            Layout.preferredWidth: 150
            label: "إلى تاريخ"
            placeholderText: "yyyy-MM-dd"
        }
        MButton {
            objectName: "auditFilterButton"
            Layout.alignment: Qt.AlignBottom
            text: "عرض"
            onClicked: view.showPage(0)
        }
        Item {
            Layout.fillWidth: true
        }
    }

    DataTable {
        objectName: "auditTable"
        Layout.fillWidth: true
        Layout.fillHeight: true
        rows: view.logs
        emptyText: "لا توجد عمليات مسجلة"
        columns: [
            { title: "الوقت", w: 2.5, value: r => "\u200e" + Theme.text(r.created_at) },
            { title: "المستخدم", w: 2, value: r => r.username ? Theme.text(r.username) : "النظام",
              color: () => Theme.textPrimary },
            { title: "العملية", w: 4, value: r => Theme.text(r.details ? r.details : r.action), bold: true },
            { title: "النوع", w: 2, value: r => Theme.text(r.entity_label ? r.entity_label : r.table_name) },
            { title: "الرقم", w: 1, value: r => r.record_id ? String(r.record_id) : "" },
            { title: "الجهاز", w: 1, value: r => Theme.text(r.host) }
        ]
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12

        MButton {
            objectName: "auditPreviousButton"
            text: "السابق"
            outline: true
            enabled: view.pageIndex > 0
            onClicked: view.showPage(view.pageIndex - 1)
        }
        Label {
            objectName: "auditPageLabel"
            text: "صفحة " + (view.pageIndex + 1) + " من " + view.pageCount + " (" + view.total + " عملية)"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
        }
        MButton {
            objectName: "auditNextButton"
            text: "التالي"
            outline: true
            enabled: view.pageIndex + 1 < view.pageCount
            onClicked: view.showPage(view.pageIndex + 1)
        }
        Item {
            Layout.fillWidth: true
        }
    }
}
