import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int tenantId: 0
    property string tenantName: ""
    property var contracts: []

    function reload() {
        if (tenantId < 1) {
            contracts = []
            return
        }
        contracts = Theme.rows(database.execQuery(
            "SELECT c.*, u.unit_number, p.name as property_name FROM contracts c JOIN units u ON c.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE c.tenant_id=? ORDER BY c.start_date DESC",
            [tenantId]))
    }

    // After a lease is ended; the page offers the settlement of its deposit.
    signal leaseEnded(int contractId)

    function terminate(id) {
        if (contractModel.terminate(id)) {
            reload()
            leaseEnded(id)
        } else {
            messageColor = Theme.dangerColor
            message = "تعذر إنهاء العقد"
        }
    }

    title: "عقود المستأجر - " + tenantName
    dialogWidth: 760

    onTenantIdChanged: reload()
    onAboutToShow: {
        messageColor = Theme.dangerColor
        reload()
    }

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
                    text: contractRow.active ? "نشط" : contractRow.modelData.status === "renewed" ? "مجدد" : "منتهي"
                    tagColor: contractRow.active ? Theme.successColor
                                                 : contractRow.modelData.status === "renewed" ? Theme.gold : Theme.textMuted
                }
                MButton {
                    objectName: "contractHistoryButton" + contractRow.index
                    visible: Number(contractRow.modelData.renewed_from) > 0 || contractRow.modelData.status === "renewed"
                    implicitHeight: 32
                    text: "السجل"
                    outline: true
                    onClicked: historyDialog.openFor(contractRow.modelData)
                }
                MButton {
                    objectName: "renewContractButton" + contractRow.index
                    needs: "write"
                    visible: contractRow.active
                    implicitHeight: 32
                    text: "تجديد"
                    outline: true
                    onClicked: renewDialog.openFor(Number(contractRow.modelData.id))
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

    RenewContractDialog {
        id: renewDialog
        objectName: "renewContractDialog"
        onRenewed: {
            dialog.reload()
            dialog.messageColor = Theme.successColor
            dialog.message = "تم تجديد العقد"
        }
    }

    // The lease's chain of renewals, oldest first, with the rent of each.
    MDialog {
        id: historyDialog
        objectName: "contractHistoryDialog"
        property var chain: []
        title: "سجل تجديدات العقد"
        dialogWidth: 520

        function openFor(row) {
            chain = Theme.rows(contractModel.renewalChain(Number(row.id)))
            open()
        }

        Repeater {
            model: historyDialog.chain
            delegate: RowLayout {
                id: link
                required property var modelData
                required property int index
                Layout.fillWidth: true
                spacing: 10
                Label {
                    text: (link.index + 1) + "."
                    color: Theme.textMuted
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                }
                Label {
                    Layout.fillWidth: true
                    text: Theme.text(link.modelData.start_date) + " ← " + Theme.text(link.modelData.end_date)
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    text: Theme.money(link.modelData.rent_amount)
                    color: Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.bold: true
                }
                Tag {
                    text: link.modelData.status === "active" ? "نشط" : link.modelData.status === "renewed" ? "مجدد" : "منتهي"
                    tagColor: link.modelData.status === "active" ? Theme.successColor : Theme.textMuted
                }
            }
        }
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
            unitBox.clear()
            startField.text = Theme.today()
            endField.text = ""
            rentField.text = ""
            depositField.text = "0"
            chequeCountField.text = "0"
            chequeDateField.text = ""
            chequeAmountField.text = ""
            chequeBankField.text = ""
            chequeNumberField.text = ""
        }

        SearchPicker {
            id: unitBox
            objectName: "contractUnitBox"
            Layout.fillWidth: true
            kind: "availableUnit"
            label: "الوحدة"
            placeholder: "ابحث برقم الوحدة أو اسم العقار..."
            onPicked: unit => {
                if (rentField.text === "")
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
        SettingsSection {
            objectName: "leaseChequesSection"
            Layout.fillWidth: true
            title: "شيكات مؤجلة عند التوقيع"

            RowLayout {
                Layout.fillWidth: true
                spacing: 12
                MTextField {
                    id: chequeCountField
                    objectName: "leaseChequeCountField"
                    Layout.fillWidth: true
                    label: "عدد الشيكات"
                    text: "0"
                }
                MTextField {
                    id: chequeDateField
                    objectName: "leaseChequeDateField"
                    Layout.fillWidth: true
                    label: "تاريخ أول شيك"
                    placeholderText: startField.text
                }
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 12
                MTextField {
                    id: chequeAmountField
                    objectName: "leaseChequeAmountField"
                    Layout.fillWidth: true
                    label: "مبلغ كل شيك"
                    placeholderText: rentField.text
                }
                MTextField {
                    id: chequeNumberField
                    objectName: "leaseChequeNumberField"
                    Layout.fillWidth: true
                    label: "رقم أول شيك"
                }
            }
            MTextField {
                id: chequeBankField
                objectName: "leaseChequeBankField"
                Layout.fillWidth: true
                label: "البنك"
            }
            Label {
                Layout.fillWidth: true
                text: "شيك لكل شهر من تاريخ أول شيك؛ الأرقام متتالية إن كان الرقم الأول عدداً، وتُسجل في سجل الشيكات مرتبطة بالعقد."
                color: Theme.textMuted
                font.family: Theme.fontFamily
                font.pixelSize: 12
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignLeft
            }
        }
        MButton {
            objectName: "saveContractButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ العقد"
            onClicked: {
                var unit = unitBox.selected
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
                var count = chequeCountField.text.trim() === "" ? 0 : Number(chequeCountField.amount)
                if (isNaN(count) || count < 0 || count > 120 || Math.floor(count) !== count) {
                    newContractDialog.message = "أدخل عدد الشيكات من 0 إلى 120"
                    return
                }
                var firstDate = chequeDateField.text.trim() === "" ? startField.date : chequeDateField.date
                var each = chequeAmountField.text.trim() === "" ? rent : chequeAmountField.amount
                if (count > 0) {
                    if (firstDate === "") {
                        newContractDialog.message = chequeDateField.dateMessage("أدخل تاريخ أول شيك بالصيغة YYYY-MM-DD")
                        return
                    }
                    if (isNaN(each) || each <= 0 || chequeNumberField.text.trim() === "") {
                        newContractDialog.message = "أدخل مبلغ كل شيك ورقم أول شيك"
                        return
                    }
                }
                var id = count > 0
                        ? contractModel.addWithCheques(Number(unit.id), dialog.tenantId, startField.date,
                                                       endField.date, rent, "monthly", deposit, 1, count,
                                                       firstDate, each, chequeBankField.text,
                                                       chequeNumberField.text.trim())
                        : contractModel.add(Number(unit.id), dialog.tenantId, startField.date,
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
