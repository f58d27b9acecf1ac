import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var properties: []
    property string message: ""

    function reload() {
        var q = searchField.text
        properties = Theme.rows(q === "" ? propertyModel.getAll() : propertyModel.search(q))
    }

    function typeLabel(type) {
        if (type === "residential")
            return "سكني"
        if (type === "commercial")
            return "تجاري"
        return "مختلط"
    }

    function statusLabel(row) {
        var total = Number(row.total_units) || 0
        if (total > 0 && (Number(row.sold_units) || 0) >= total)
            return "مباعة بالكامل"
        return row.status === "active" ? "نشط" : "غير نشط"
    }

    // The portfolio's one definition: rented units over the units that can be rented.
    function occupancy(row) {
        return Math.round(Number(reportCtrl.getOccupancy(Number(row.id))) || 0)
    }

    function removeProperty(id) {
        if (propertyModel.remove(id)) {
            message = ""
            reload()
        } else {
            message = "لا يمكن حذف العقار: توجد وحدات مؤجرة أو مباعة أو سجلات مرتبطة به"
        }
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
            title: "إدارة العقارات"
            subtitle: "إدارة جميع العقارات والوحدات"

            MButton {
                objectName: "addPropertyButton"
                needs: "write"
                text: "+ إضافة عقار"
                onClicked: addDialog.openFor(null)
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Label {
                text: "⌕"
                color: Theme.textSecondary
                font.pixelSize: 20
            }
            MTextField {
                id: searchField
                objectName: "propertySearch"
                Layout.fillWidth: true
                placeholderText: "بحث بالاسم أو المدينة أو العنوان..."
                onTextChanged: page.reload()
            }
        }

        Label {
            objectName: "pageMessage"
            Layout.fillWidth: true
            visible: page.message !== ""
            text: page.message
            color: Theme.dangerColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }

        Label {
            Layout.fillWidth: true
            visible: page.properties.length === 0
            text: "لا توجد عقارات بعد"
            color: Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 14
            horizontalAlignment: Text.AlignHCenter
        }

        GridView {
            id: grid
            objectName: "propertyGrid"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.properties
            cellWidth: width / Math.max(1, Math.floor(width / 300))
            cellHeight: 316
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: Item {
                id: cell
                required property var modelData
                required property int index
                width: grid.cellWidth
                height: grid.cellHeight

                Rectangle {
                    anchors.fill: parent
                    anchors.margins: 8
                    radius: 12
                    color: Theme.bgCard
                    border.color: cardHover.hovered ? Theme.gold : Theme.borderColor

                    HoverHandler {
                        id: cardHover
                    }

                    ColumnLayout {
                        anchors.fill: parent
                        anchors.margins: 16
                        spacing: 8

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 8
                            Label {
                                Layout.fillWidth: true
                                text: Theme.text(cell.modelData.name)
                                color: Theme.textPrimary
                                font.family: Theme.fontFamily
                                font.pixelSize: 17
                                font.bold: true
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                            Tag {
                                text: page.statusLabel(cell.modelData)
                                tagColor: text === "نشط" ? Theme.successColor
                                                         : (text === "مباعة بالكامل" ? Theme.gold : Theme.textMuted)
                            }
                        }
                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 8
                            Tag {
                                text: page.typeLabel(cell.modelData.type)
                                tagColor: Theme.textSecondary
                            }
                            Label {
                                Layout.fillWidth: true
                                text: Theme.text(cell.modelData.city) + " - " + Theme.text(cell.modelData.address)
                                color: Theme.textMuted
                                font.family: Theme.fontFamily
                                font.pixelSize: 12
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            Layout.topMargin: 4
                            spacing: 8
                            Repeater {
                                model: [
                                    { n: cell.modelData.total_units, l: "وحدة" },
                                    { n: cell.modelData.rented_units, l: "مؤجرة" },
                                    { n: cell.modelData.sold_units, l: "مباعة" }
                                ]
                                delegate: Rectangle {
                                    id: count
                                    required property var modelData
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: 52
                                    radius: 8
                                    color: Theme.bgSecondary
                                    ColumnLayout {
                                        anchors.centerIn: parent
                                        spacing: 0
                                        Label {
                                            Layout.alignment: Qt.AlignHCenter
                                            text: String(Number(count.modelData.n) || 0)
                                            color: Theme.textPrimary
                                            font.family: Theme.fontFamily
                                            font.pixelSize: 16
                                            font.bold: true
                                        }
                                        Label {
                                            Layout.alignment: Qt.AlignHCenter
                                            text: count.modelData.l
                                            color: Theme.textMuted
                                            font.family: Theme.fontFamily
                                            font.pixelSize: 11
                                        }
                                    }
                                }
                            }
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            Label {
                                text: "إشغال"
                                color: Theme.textSecondary
                                font.family: Theme.fontFamily
                                font.pixelSize: 12
                            }
                            Item {
                                Layout.fillWidth: true
                            }
                            Label {
                                objectName: "occupancyLabel"
                                text: page.occupancy(cell.modelData) + "%"
                                color: Theme.gold
                                font.family: Theme.fontFamily
                                font.pixelSize: 12
                                font.bold: true
                            }
                        }
                        Rectangle {
                            Layout.fillWidth: true
                            Layout.preferredHeight: 6
                            radius: 3
                            color: Theme.bgSecondary
                            Rectangle {
                                anchors.left: parent.left
                                anchors.top: parent.top
                                anchors.bottom: parent.bottom
                                width: parent.width * page.occupancy(cell.modelData) / 100
                                radius: 3
                                color: Theme.gold
                            }
                        }
                        RowLayout {
                            Layout.fillWidth: true
                            Label {
                                text: "الإيرادات الشهرية"
                                color: Theme.textSecondary
                                font.family: Theme.fontFamily
                                font.pixelSize: 12
                            }
                            Item {
                                Layout.fillWidth: true
                            }
                            Label {
                                text: Theme.money(cell.modelData.monthly_revenue)
                                color: Theme.successColor
                                font.family: Theme.fontFamily
                                font.pixelSize: 13
                                font.bold: true
                            }
                        }

                        Item {
                            Layout.fillHeight: true
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 8
                            MButton {
                                objectName: "manageUnitsButton" + cell.index
                                Layout.fillWidth: true
                                implicitHeight: 34
                                text: "إدارة الوحدات"
                                outline: true
                                onClicked: {
                                    unitsDialog.propertyId = Number(cell.modelData.id)
                                    unitsDialog.propertyName = Theme.text(cell.modelData.name)
                                    unitsDialog.open()
                                }
                            }
                            MButton {
                                objectName: "propertyExpenseButton" + cell.index
                                implicitHeight: 34
                                text: "مصروف"
                                outline: true
                                onClicked: expenseDialog.openFor(null, Number(cell.modelData.id))
                            }
                            MButton {
                                objectName: "editPropertyButton" + cell.index
                                implicitHeight: 34
                                text: "✎"
                                outline: true
                                onClicked: addDialog.openFor(cell.modelData)
                            }
                            MButton {
                                objectName: "removePropertyButton" + cell.index
                                needs: "write"
                                implicitHeight: 34
                                text: "🗑"
                                outline: true
                                btnColor: Theme.dangerColor
                                onClicked: confirm.ask("حذف العقار",
                                                       "سيُحذف العقار «" + Theme.text(cell.modelData.name)
                                                       + "» ووحداته المتاحة نهائياً.", "حذف",
                                                       page.removeProperty.bind(page, Number(cell.modelData.id)))
                            }
                        }
                    }
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }

    ExpenseDialog {
        id: expenseDialog
        objectName: "propertyExpenseDialog"
        onSaved: page.reload()
    }

    UnitsDialog {
        id: unitsDialog
        objectName: "unitsDialog"
        onClosed: page.reload()
    }

    MDialog {
        id: addDialog
        objectName: "addPropertyDialog"
        // The property being corrected, or null for a new one.
        property var property: null
        readonly property var types: ["residential", "commercial", "mixed"]
        title: property ? "تعديل العقار" : "إضافة عقار جديد"
        dialogWidth: 480

        function openFor(row) {
            property = row
            nameField.text = row ? Theme.text(row.name) : ""
            cityField.text = row ? Theme.text(row.city) : ""
            addressField.text = row ? Theme.text(row.address) : ""
            typeBox.currentIndex = row ? Math.max(0, types.indexOf(row.type)) : 0
            open()
        }

        MTextField {
            id: nameField
            objectName: "propertyNameField"
            Layout.fillWidth: true
            label: "اسم العقار"
        }
        MComboBox {
            id: typeBox
            objectName: "propertyTypeBox"
            Layout.fillWidth: true
            label: "نوع العقار"
            model: ["سكني", "تجاري", "مختلط"]
        }
        MTextField {
            id: cityField
            objectName: "propertyCityField"
            Layout.fillWidth: true
            label: "المدينة"
        }
        MTextField {
            id: addressField
            objectName: "propertyAddressField"
            Layout.fillWidth: true
            label: "العنوان"
        }
        MButton {
            objectName: "savePropertyButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: {
                if (nameField.text.trim() === "") {
                    addDialog.message = "أدخل اسم العقار"
                    return
                }
                var type = addDialog.types[Math.max(0, typeBox.currentIndex)]
                var row = addDialog.property
                var saved = row ? propertyModel.update(Number(row.id), nameField.text, type,
                                                       addressField.text, cityField.text,
                                                       Theme.text(row.description))
                                : propertyModel.add(nameField.text, type, addressField.text,
                                                    cityField.text, "") > 0
                if (saved) {
                    page.reload()
                    addDialog.close()
                } else {
                    addDialog.message = "تعذر حفظ العقار"
                }
            }
        }
    }
}
