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

    // After a lease is ended; the page offers the settlement of its deposit.
    signal leaseEnded(int contractId)

    function terminate(id) {
        if (contractModel.terminate(id)) {
            reload()
            leaseEnded(id)
        } else {
            message = "تعذر إنهاء العقد"
        }
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
                    objectName: "editContractButton" + contractRow.index
                    visible: contractRow.active
                    implicitHeight: 32
                    text: "✎"
                    outline: true
                    onClicked: editContractDialog.openFor(contractRow.modelData)
                }
                MButton {
                    objectName: "terminateContractButton" + contractRow.index
                    needs: "write"
                    visible: contractRow.active
                    implicitHeight: 32
                    text: "إنهاء"
                    outline: true
                    btnColor: Theme.dangerColor
                    onClicked: confirm.ask("إنهاء العقد", "سينتهي عقد " + dialog.tenantName + " على "
                                           + Theme.text(contractRow.modelData.property_name) + " - "
                                           + Theme.text(contractRow.modelData.unit_number)
                                           + " اليوم، وتصبح الوحدة متاحة. لا تصدر له فواتير إيجار بعد ذلك.",
                                           "إنهاء العقد",
                                           dialog.terminate.bind(dialog, Number(contractRow.modelData.id)))
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }

    MDialog {
        id: editContractDialog
        objectName: "editContractDialog"
        property var contract: null
        title: "تعديل العقد"
        dialogWidth: 480

        function openFor(row) {
            contract = row
            editEndField.text = Theme.text(row.end_date)
            editRentField.text = Theme.text(row.rent_amount)
            editNotesField.text = Theme.text(row.notes)
            open()
        }

        Label {
            Layout.fillWidth: true
            text: "الفواتير الصادرة تبقى كما هي؛ الإيجار الجديد يسري على الفواتير القادمة."
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 12
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }
        MTextField {
            id: editEndField
            objectName: "editContractEndField"
            Layout.fillWidth: true
            label: "تاريخ الانتهاء (YYYY-MM-DD)"
        }
        MTextField {
            id: editRentField
            objectName: "editContractRentField"
            Layout.fillWidth: true
            label: "الإيجار الشهري"
        }
        MTextField {
            id: editNotesField
            objectName: "editContractNotesField"
            Layout.fillWidth: true
            label: "ملاحظات"
        }
        MButton {
            objectName: "saveContractEditButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ التعديل"
            onClicked: {
                var row = editContractDialog.contract
                if (editEndField.date === "") {
                    editContractDialog.message = editEndField.dateMessage("أدخل تاريخ الانتهاء بالصيغة YYYY-MM-DD")
                    return
                }
                if (editEndField.date < Theme.text(row.start_date)) {
                    editContractDialog.message = "تاريخ الانتهاء قبل تاريخ البدء"
                    return
                }
                var rent = editRentField.amount
                if (isNaN(rent) || rent <= 0) {
                    editContractDialog.message = "أدخل مبلغ إيجار صحيحاً"
                    return
                }
                if (contractModel.update(Number(row.id), editEndField.date, rent, editNotesField.text)) {
                    dialog.reload()
                    editContractDialog.close()
                } else {
                    editContractDialog.message = "تعذر حفظ التعديل: الوحدة مؤجرة لعقد آخر في هذه الفترة"
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
                var dateProblem = startField.dateMessage("أدخل تاريخي البدء والانتهاء بالصيغة YYYY-MM-DD")
                        || endField.dateMessage("أدخل تاريخي البدء والانتهاء بالصيغة YYYY-MM-DD")
                if (dateProblem !== "") {
                    newContractDialog.message = dateProblem
                    return
                }
                if (endField.date < startField.date) {
                    newContractDialog.message = "تاريخ الانتهاء قبل تاريخ البدء"
                    return
                }
                var rent = rentField.amount
                var deposit = depositField.text === "" ? 0 : depositField.amount
                if (isNaN(rent) || rent <= 0 || isNaN(deposit) || deposit < 0) {
                    newContractDialog.message = "أدخل مبلغ إيجار وتأميناً صحيحين"
                    return
                }
                var id = contractModel.add(Number(unit.id), dialog.tenantId, startField.date,
                                           endField.date, rent, "monthly", deposit, 1)
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
