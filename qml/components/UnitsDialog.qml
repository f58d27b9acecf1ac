import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int propertyId: 0
    property string propertyName: ""
    property var units: []

    function reload() {
        units = propertyId > 0 ? Theme.rows(unitModel.getByProperty(propertyId)) : []
    }

    function removeUnit(id) {
        if (unitModel.remove(id)) {
            message = ""
            reload()
        } else {
            message = "لا يمكن حذف وحدة مؤجرة أو مباعة أو مرتبطة بسجلات"
        }
    }

    function statusLabel(status) {
        if (status === "available")
            return "متاحة"
        if (status === "rented")
            return "مؤجرة"
        return "مباعة"
    }

    title: "إدارة الوحدات - " + propertyName
    dialogWidth: 720

    onPropertyIdChanged: reload()
    onAboutToShow: reload()

    RowLayout {
        Layout.fillWidth: true
        Label {
            Layout.fillWidth: true
            text: dialog.units.length + " وحدة"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        MButton {
            objectName: "addUnitButton"
            needs: "write"
            text: "+ إضافة وحدة"
            onClicked: addUnitDialog.openFor(null)
        }
    }

    Label {
        Layout.fillWidth: true
        visible: dialog.units.length === 0
        text: "لا توجد وحدات في هذا العقار"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    Repeater {
        model: dialog.units

        delegate: Rectangle {
            id: unitRow
            required property var modelData
            required property int index
            Layout.fillWidth: true
            Layout.preferredHeight: 52
            radius: 8
            color: Theme.bgSecondary

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 8
                spacing: 12

                Label {
                    Layout.preferredWidth: 90
                    text: Theme.text(unitRow.modelData.unit_number)
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    font.bold: true
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 70
                    text: "طابق " + Theme.text(unitRow.modelData.floor)
                    color: Theme.textSecondary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 80
                    text: Theme.number(unitRow.modelData.area) + " م²"
                    color: Theme.textSecondary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    text: Theme.money(unitRow.modelData.rent_monthly)
                    color: Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Tag {
                    text: dialog.statusLabel(unitRow.modelData.status)
                    tagColor: unitRow.modelData.status === "available" ? Theme.successColor
                              : (unitRow.modelData.status === "rented" ? Theme.warningColor : Theme.gold)
                }
                MButton {
                    objectName: "editUnitButton" + unitRow.index
                    implicitHeight: 32
                    text: "✎"
                    outline: true
                    onClicked: addUnitDialog.openFor(unitRow.modelData)
                }
                MButton {
                    objectName: "removeUnitButton" + unitRow.index
                    needs: "write"
                    implicitHeight: 32
                    text: "🗑"
                    outline: true
                    btnColor: Theme.dangerColor
                    onClicked: confirm.ask("حذف الوحدة", "ستُحذف الوحدة "
                                           + Theme.text(unitRow.modelData.unit_number) + " من "
                                           + dialog.propertyName + " نهائياً.", "حذف",
                                           dialog.removeUnit.bind(dialog, Number(unitRow.modelData.id)))
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }

    MDialog {
        id: addUnitDialog
        objectName: "addUnitDialog"
        // The unit being corrected, or null for a new one.
        property var unit: null
        title: unit ? "تعديل الوحدة " + Theme.text(unit.unit_number) : "إضافة وحدة جديدة"
        dialogWidth: 460

        function openFor(row) {
            unit = row
            numberField.text = row ? Theme.text(row.unit_number) : ""
            floorField.text = row && row.floor !== null ? Theme.text(row.floor) : ""
            areaField.text = row ? Theme.text(row.area) : ""
            rentField.text = row ? Theme.text(row.rent_monthly) : ""
            roomsField.text = row && row.rooms !== null ? Theme.text(row.rooms) : ""
            salePriceField.text = row && Math.round(Number(row.sale_price) * 100) > 0 ? Theme.text(row.sale_price) : ""
            open()
        }

        MTextField {
            id: numberField
            objectName: "unitNumberField"
            Layout.fillWidth: true
            label: "رقم الوحدة"
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 12
            MTextField {
                id: floorField
                objectName: "unitFloorField"
                Layout.fillWidth: true
                label: "الطابق"
            }
            MTextField {
                id: roomsField
                objectName: "unitRoomsField"
                Layout.fillWidth: true
                label: "عدد الغرف"
            }
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 12
            MTextField {
                id: areaField
                objectName: "unitAreaField"
                Layout.fillWidth: true
                label: "المساحة (م²)"
            }
            MTextField {
                id: rentField
                objectName: "unitRentField"
                Layout.fillWidth: true
                label: "الإيجار الشهري"
            }
        }
        MTextField {
            id: salePriceField
            objectName: "unitSalePriceField"
            Layout.fillWidth: true
            label: "سعر البيع (اختياري)"
        }
        MButton {
            objectName: "saveUnitButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: {
                if (numberField.text.trim() === "") {
                    addUnitDialog.message = "أدخل رقم الوحدة"
                    return
                }
                var rent = rentField.text === "" ? 0 : rentField.amount
                var area = areaField.text === "" ? 0 : areaField.amount
                if (isNaN(rent) || isNaN(area) || rent < 0 || area < 0) {
                    addUnitDialog.message = "المساحة والإيجار يجب أن تكون أرقاماً صحيحة"
                    return
                }
                var price = salePriceField.text === "" ? 0 : salePriceField.amount
                if (isNaN(price) || price < 0) {
                    addUnitDialog.message = "سعر البيع يجب أن يكون رقماً صحيحاً"
                    return
                }
                var floor = parseInt(inputConverter.normalized(floorField.text)) || 0
                var rooms = parseInt(inputConverter.normalized(roomsField.text)) || 0
                var saved = addUnitDialog.unit
                        ? unitModel.update(Number(addUnitDialog.unit.id), numberField.text, floor, area,
                                           rooms, rent, rent * 12, price)
                        : unitModel.add(dialog.propertyId, numberField.text, floor, area, rooms, rent,
                                        rent * 12, price, 1) > 0
                if (saved) {
                    dialog.reload()
                    addUnitDialog.close()
                } else {
                    addUnitDialog.message = "تعذر حفظ الوحدة: قد يكون رقم الوحدة مستخدماً في هذا العقار"
                }
            }
        }
    }
}
