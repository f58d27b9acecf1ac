import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int buyerId: 0
    property string buyerName: ""
    property var installments: []

    function reload() {
        installments = buyerId > 0 ? Theme.rows(installmentModel.getByBuyer(buyerId)) : []
    }

    // Only an installment whose day has come is due; later ones are coming.
    function statusLabel(status, dueDate) {
        if (status === "paid")
            return "مسدد"
        if (status === "partial")
            return "جزئي"
        return Theme.text(dueDate) > Theme.today() ? "قادم" : "مستحق"
    }

    title: "جدول الأقساط - " + buyerName
    dialogWidth: 720

    onBuyerIdChanged: reload()
    onAboutToShow: reload()

    RowLayout {
        Layout.fillWidth: true
        Label {
            Layout.fillWidth: true
            text: dialog.installments.length + " قسط"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            horizontalAlignment: Text.AlignLeft
        }
        MButton {
            objectName: "addInstallmentButton"
            needs: "write"
            text: "+ إضافة قسط"
            onClicked: addDialog.open()
        }
    }

    Label {
        Layout.fillWidth: true
        visible: dialog.installments.length === 0
        text: "لا توجد أقساط لهذا المشتري"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    Repeater {
        model: dialog.installments

        delegate: Rectangle {
            id: installmentRow
            required property var modelData
            required property int index
            readonly property bool paid: modelData.status === "paid"
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            radius: 6
            color: Theme.bgSecondary

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 10
                spacing: 12
                Label {
                    Layout.preferredWidth: 100
                    text: Theme.text(installmentRow.modelData.due_date)
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    text: "قسط شقة " + Theme.text(installmentRow.modelData.unit_number)
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 170
                    text: Theme.money(installmentRow.modelData.paid_amount) + " / "
                          + Theme.money(installmentRow.modelData.installment_amount)
                    color: installmentRow.paid ? Theme.successColor : Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Tag {
                    text: dialog.statusLabel(installmentRow.modelData.status, installmentRow.modelData.due_date)
                    tagColor: installmentRow.paid ? Theme.successColor : Theme.warningColor
                }
                MButton {
                    objectName: "installmentVoucherButton" + installmentRow.index
                    readonly property int voucherId: Number(installmentRow.modelData.paid_amount) > 0
                        ? voucherModel.latestFor("installment", Number(installmentRow.modelData.id)) : 0
                    visible: voucherId > 0
                    implicitHeight: 30
                    leftPadding: 10
                    rightPadding: 10
                    outline: true
                    text: "سند"
                    onClicked: {
                        var voucher = voucherModel.forPrint(voucherId)
                        if (voucher.id)
                            printCtrl.printVoucher(voucher, false)
                    }
                }
                MButton {
                    objectName: "payInstallmentButton" + installmentRow.index
                    needs: "write"
                    visible: !installmentRow.paid
                    implicitHeight: 30
                    leftPadding: 10
                    rightPadding: 10
                    text: "✔️"
                    btnColor: Theme.successColor
                    onClicked: collectDialog.openFor(installmentRow.modelData)
                }
            }
        }
    }

    // Collecting says what will be recorded and lets a part of the installment be taken.
    MDialog {
        id: collectDialog
        objectName: "collectInstallmentDialog"
        property var installment: null
        readonly property real outstanding: installment
            ? (Math.round(Number(installment.installment_amount) * 100)
               - Math.round(Number(installment.paid_amount) * 100)) / 100 : 0
        title: "تحصيل قسط"
        dialogWidth: 460

        function openFor(row) {
            installment = row
            collectAmountField.text = String(outstanding)
            open()
        }

        Label {
            objectName: "collectDetails"
            Layout.fillWidth: true
            text: collectDialog.installment
                  ? "تحصيل من " + dialog.buyerName + " عن الوحدة "
                    + Theme.text(collectDialog.installment.unit_number) + "، قسط مستحق بتاريخ "
                    + Theme.text(collectDialog.installment.due_date) + ". المتبقي منه "
                    + Theme.money(collectDialog.outstanding) + "، ويُسجل المبلغ دفعةً بتاريخ اليوم."
                  : ""
            color: Theme.textPrimary
            font.family: Theme.fontFamily
            font.pixelSize: 14
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }
        MTextField {
            id: collectAmountField
            objectName: "collectAmountField"
            Layout.fillWidth: true
            label: "المبلغ المحصل (يمكن تحصيل جزء من القسط)"
        }
        MButton {
            objectName: "confirmCollectButton"
            needs: "write"
            Layout.fillWidth: true
            text: "تأكيد التحصيل"
            btnColor: Theme.successColor
            onClicked: {
                var amount = collectAmountField.amount
                if (isNaN(amount) || Math.round(amount * 100) <= 0) {
                    collectDialog.message = "أدخل مبلغاً صحيحاً أكبر من صفر"
                    return
                }
                if (Math.round(amount * 100) > Math.round(collectDialog.outstanding * 100)) {
                    collectDialog.message = "المبلغ أكبر من المتبقي من القسط (" + Theme.number(collectDialog.outstanding) + ")"
                    return
                }
                if (installmentModel.payInstallment(Number(collectDialog.installment.id), amount)) {
                    dialog.message = ""
                    dialog.reload()
                    collectDialog.close()
                } else {
                    collectDialog.message = "تعذر تسجيل تحصيل القسط"
                }
            }
        }
    }

    MDialog {
        id: addDialog
        objectName: "addInstallmentDialog"
        title: "إضافة قسط"
        dialogWidth: 460

        onAboutToShow: {
            unitBox.clear()
            amountField.text = ""
            dueField.text = Theme.today()
        }

        SearchPicker {
            id: unitBox
            objectName: "installmentUnitBox"
            Layout.fillWidth: true
            kind: "unit"
            label: "الوحدة"
            placeholder: "ابحث برقم الوحدة أو اسم العقار..."
        }
        MTextField {
            id: amountField
            objectName: "installmentAmountField"
            Layout.fillWidth: true
            label: "قيمة القسط"
        }
        MTextField {
            id: dueField
            objectName: "installmentDueField"
            Layout.fillWidth: true
            label: "تاريخ الاستحقاق (YYYY-MM-DD)"
        }
        MButton {
            objectName: "saveInstallmentButton"
            needs: "write"
            Layout.fillWidth: true
            text: "إضافة القسط"
            onClicked: {
                var unit = unitBox.selected
                var amount = amountField.amount
                if (!unit) {
                    addDialog.message = "اختر وحدة"
                    return
                }
                if (isNaN(amount) || amount <= 0) {
                    addDialog.message = "أدخل قيمة قسط صحيحة"
                    return
                }
                if (dueField.date === "") {
                    addDialog.message = dueField.dateMessage("أدخل تاريخ الاستحقاق بالصيغة YYYY-MM-DD")
                    return
                }
                var id = installmentModel.add(dialog.buyerId, Number(unit.id), 0, 0, amount, dueField.date, 1)
                if (id > 0) {
                    dialog.reload()
                    addDialog.close()
                } else {
                    addDialog.message = "تعذر إضافة القسط"
                }
            }
        }
    }
}
