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
            onClicked: addUnitDialog.open()
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
                    objectName: "removeUnitButton" + unitRow.index
                    needs: "write"
                    implicitHeight: 32
                    text: "🗑"
                    outline: true
                    btnColor: Theme.dangerColor
                    onClicked: {
                        if (unitModel.remove(Number(unitRow.modelData.id))) {
                            dialog.message = ""
                            dialog.reload()
                        } else {
                            dialog.message = "لا يمكن حذف وحدة مؤجرة أو مباعة أو مرتبطة بسجلات"
                        }
                    }
                }
            }
        }
    }

    MDialog {
        id: addUnitDialog
        objectName: "addUnitDialog"
        title: "إضافة وحدة جديدة"
        dialogWidth: 460

        onAboutToShow: {
            numberField.text = ""
            floorField.text = ""
            areaField.text = ""
            rentField.text = ""
            roomsField.text = ""
        }

        MTextField {
            id: numberField
            objectName: "unitNumberField"
            Layout.fillWidth: true
            label: "رقم الوحدة"
        }
        MTextField {
            id: floorField
            objectName: "unitFloorField"
            Layout.fillWidth: true
            label: "الطابق"
        }
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
        MTextField {
            id: roomsField
            objectName: "unitRoomsField"
            Layout.fillWidth: true
            label: "عدد الغرف"
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
                var rent = Theme.parseAmount(rentField.text === "" ? "0" : rentField.text)
                var area = Theme.parseAmount(areaField.text === "" ? "0" : areaField.text)
                if (isNaN(rent) || isNaN(area) || rent < 0 || area < 0) {
                    addUnitDialog.message = "المساحة والإيجار يجب أن تكون أرقاماً صحيحة"
                    return
                }
                var id = unitModel.add(dialog.propertyId, numberField.text,
                                       parseInt(floorField.text) || 0, area,
                                       parseInt(roomsField.text) || 0, rent, rent * 12, 0, 1)
                if (id > 0) {
                    dialog.reload()
                    addUnitDialog.close()
                } else {
                    addUnitDialog.message = "تعذر حفظ الوحدة: قد يكون رقم الوحدة مستخدماً في هذا العقار"
                }
            }
        }
    }
}
