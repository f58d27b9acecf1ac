import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    readonly property var priorities: ["low", "medium", "high"]

    // The request being corrected (its unit stays), or null for a new one.
    property var request: null

    signal added

    function openFor(row) {
        request = row
        open()
        if (row) {
            titleField.text = Theme.text(row.title)
            descField.text = Theme.text(row.description)
            priorityChips.currentIndex = Math.max(0, priorities.indexOf(row.priority))
        }
    }

    title: request ? "تعديل طلب الصيانة" : "طلب صيانة جديد"
    dialogWidth: 520

    onAboutToShow: {
        unitBox.clear()
        titleField.text = ""
        descField.text = ""
        priorityChips.currentIndex = 1
    }

    SearchPicker {
        id: unitBox
        objectName: "maintenanceUnitBox"
        visible: dialog.request === null
        Layout.fillWidth: true
        kind: "unit"
        label: "اختر الوحدة"
        placeholder: "ابحث برقم الوحدة أو اسم العقار..."
    }
    MTextField {
        id: titleField
        objectName: "maintenanceTitleField"
        Layout.fillWidth: true
        label: "عنوان الطلب"
    }
    MTextField {
        id: descField
        objectName: "maintenanceDescField"
        Layout.fillWidth: true
        label: "الوصف"
    }
    Label {
        Layout.fillWidth: true
        text: "الأولوية:"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    FilterChips {
        id: priorityChips
        objectName: "maintenancePriority"
        model: ["منخفضة", "متوسطة", "عالية"]
    }
    MButton {
        objectName: "saveMaintenanceButton"
        needs: "write"
        Layout.fillWidth: true
        Layout.topMargin: 4
        text: "حفظ الطلب"
        onClicked: {
            var unit = unitBox.selected
            if (!unit && !dialog.request) {
                dialog.message = "اختر الوحدة"
                return
            }
            if (titleField.text.trim() === "") {
                dialog.message = "أدخل عنوان الطلب"
                return
            }
            var priority = dialog.priorities[priorityChips.currentIndex]
            var saved = dialog.request
                    ? maintenanceModel.update(Number(dialog.request.id), titleField.text, descField.text,
                                              priority)
                    : maintenanceModel.add(Number(unit.id), Number(unit.property_id), titleField.text,
                                           descField.text, priority) > 0
            if (saved) {
                dialog.added()
                dialog.close()
            } else {
                dialog.message = "تعذر حفظ الطلب"
            }
        }
    }
}
