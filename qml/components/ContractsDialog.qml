import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int tenantId: 0
    property string tenantName: ""
    property var contracts: []
    property var availableUnits: []

    function reload() {
        if (tenantId < 1) {
            contracts = []
            return
        }
        contracts = Theme.rows(database.execQuery(
            "SELECT c.*, u.unit_number, p.name as property_name FROM contracts c JOIN units u ON c.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE c.tenant_id=? ORDER BY c.start_date DESC",
            [tenantId]))
        var units = Theme.rows(unitModel.getAvailable())
        for (var i = 0; i < units.length; ++i)
            units[i].display = Theme.text(units[i].property_name) + " - " + Theme.text(units[i].unit_number)
        availableUnits = units
    }

    title: "عقود المستأجر - " + tenantName
    dialogWidth: 760

    onTenantIdChanged: reload()
    onAboutToShow: reload()

    RowLayout {
        Layout.fillWidth: true
        Label {
            Layout.fillWidth: true
            text: dialog.contracts.length + " عقد"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        MButton {
            objectName: "newContractButton"
            needs: "write"
            text: "+ عقد جديد"
            onClicked: newContractDialog.open()
        }
    }

    Label {
        Layout.fillWidth: true
        visible: dialog.contracts.length === 0
        text: "لا توجد عقود لهذا المستأجر"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    Repeater {
        model: dialog.contracts

        delegate: Rectangle {
            id: contractRow
            required property var modelData
            required property int index
            readonly property bool active: modelData.status === "active"
            Layout.fillWidth: true
            Layout.preferredHeight: 60
            radius: 8
            color: Theme.bgSecondary
            border.width: 1
            border.color: active ? Qt.rgba(0.13, 0.77, 0.37, 0.4) : Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 10
                spacing: 12

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    Label {
                        Layout.fillWidth: true
                        text: Theme.text(contractRow.modelData.property_name) + " - " + Theme.text(contractRow.modelData.unit_number)
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        font.bold: true
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                    Label {
                        Layout.fillWidth: true
                        text: Theme.text(contractRow.modelData.start_date) + " ← " + Theme.text(contractRow.modelData.end_date)
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Label {
                    text: Theme.money(contractRow.modelData.rent_amount)
                    color: Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    font.bold: true
                }
                Tag {
                    text: contractRow.active ? "نشط" : "منتهي"
                    tagColor: contractRow.active ? Theme.successColor : Theme.textMuted
                }
                MButton {
                    objectName: "terminateContractButton" + contractRow.index
                    needs: "write"
                    visible: contractRow.active
                    implicitHeight: 32
                    text: "إنهاء"
                    outline: true
                    btnColor: Theme.dangerColor
                    onClicked: {
                        if (contractModel.terminate(Number(contractRow.modelData.id)))
                            dialog.reload()
                        else
                            dialog.message = "تعذر إنهاء العقد"
                    }
                }
            }
        }
    }

    MDialog {
        id: newContractDialog
        objectName: "newContractDialog"
        title: "إنشاء عقد جديد"
        dialogWidth: 480

        onAboutToShow: {
            unitBox.currentIndex = -1
            startField.text = Theme.today()
            endField.text = ""
            rentField.text = ""
            depositField.text = "0"
        }

        MComboBox {
            id: unitBox
            objectName: "contractUnitBox"
            Layout.fillWidth: true
            label: "الوحدة"
            placeholder: "اختر وحدة..."
            model: dialog.availableUnits
            textRole: "display"
            onActivated: index => {
                var unit = dialog.availableUnits[index]
                if (unit && rentField.text === "")
                    rentField.text = String(unit.rent_monthly || "")
            }
        }
        MTextField {
            id: startField
            objectName: "contractStartField"
            Layout.fillWidth: true
            label: "تاريخ البدء"
            placeholderText: "YYYY-MM-DD"
        }
        MTextField {
            id: endField
            objectName: "contractEndField"
            Layout.fillWidth: true
            label: "تاريخ الانتهاء"
            placeholderText: "YYYY-MM-DD"
        }
        MTextField {
            id: rentField
            objectName: "contractRentField"
            Layout.fillWidth: true
            label: "مبلغ الإيجار"
        }
        MTextField {
            id: depositField
            objectName: "contractDepositField"
            Layout.fillWidth: true
            label: "التأمين"
        }
        MButton {
            objectName: "saveContractButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ العقد"
            onClicked: {
                var unit = dialog.availableUnits[unitBox.currentIndex]
                if (!unit) {
                    newContractDialog.message = "اختر وحدة"
                    return
                }
                if (!Theme.isIsoDate(startField.text) || !Theme.isIsoDate(endField.text)) {
                    newContractDialog.message = "أدخل تاريخي البدء والانتهاء بالصيغة YYYY-MM-DD"
                    return
                }
                if (endField.text < startField.text) {
                    newContractDialog.message = "تاريخ الانتهاء قبل تاريخ البدء"
                    return
                }
                var rent = Theme.parseAmount(rentField.text)
                var deposit = Theme.parseAmount(depositField.text === "" ? "0" : depositField.text)
                if (isNaN(rent) || rent <= 0 || isNaN(deposit) || deposit < 0) {
                    newContractDialog.message = "أدخل مبلغ إيجار وتأميناً صحيحين"
                    return
                }
                var id = contractModel.add(Number(unit.id), dialog.tenantId, startField.text,
                                           endField.text, rent, "monthly", deposit, 1)
                if (id > 0) {
                    dialog.reload()
                    newContractDialog.close()
                } else {
                    newContractDialog.message = "تعذر إنشاء العقد: الوحدة مؤجرة بعقد آخر في هذه الفترة"
                }
            }
        }
    }
}
