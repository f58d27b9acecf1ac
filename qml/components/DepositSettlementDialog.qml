import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Settles a held deposit at the end of its lease: the lease's unpaid invoices and the damages
// listed are deducted, the rest refunded with a payment voucher or kept. The figures shown are
// the plan that will be stored; the statement is printed when it is.
MDialog {
    id: dialog

    property var deposit: ({})
    // [{description, amount}] as typed.
    property var damages: []
    readonly property var methods: ["cash", "bank", "cheque"]
    readonly property var plan: Number(deposit.id) > 0
                                ? depositModel.settlementPlan(Number(deposit.id), damages,
                                                              keepBox.checked, invoiceBox.checked)
                                : ({})

    signal settled

    function openFor(row) {
        deposit = row
        damages = []
        descriptionField.text = ""
        damageAmountField.text = ""
        keepBox.checked = false
        invoiceBox.checked = false
        methodChips.currentIndex = 0
        open()
    }

    function money(value) {
        return Theme.number(value) + " " + Theme.text(deposit.currency_symbol)
    }

    function ltr(text) {
        return "\u2066" + text + "\u2069"
    }

    function addDamage() {
        var amount = damageAmountField.amount
        if (descriptionField.text.trim() === "") {
            message = "اكتب وصف الضرر"
            return
        }
        if (isNaN(amount) || Math.round(amount * 100) <= 0) {
            message = "أدخل مبلغ الضرر"
            return
        }
        damages = damages.concat([{ description: descriptionField.text.trim(), amount: amount }])
        descriptionField.text = ""
        damageAmountField.text = ""
        message = ""
    }

    function removeDamage(index) {
        var list = damages.slice()
        list.splice(index, 1)
        damages = list
    }

    function settle() {
        if (depositModel.settle(Number(deposit.id), damages, keepBox.checked, invoiceBox.checked,
                                Theme.today(), methods[methodChips.currentIndex], "")) {
            printCtrl.printDepositStatement(depositModel.statement(Number(deposit.id)))
            settled()
            close()
        } else {
            message = depositModel.lastRefusal
        }
    }

    title: "تسوية التأمين - " + Theme.text(deposit.tenant_name)
    dialogWidth: 620

    Label {
        objectName: "depositSummary"
        Layout.fillWidth: true
        text: "تأمين عقد " + Theme.text(dialog.deposit.property_name) + " - "
              + Theme.text(dialog.deposit.unit_number) + ": "
              + dialog.ltr(dialog.money(dialog.deposit.amount))
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        font.bold: true
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    Label {
        Layout.fillWidth: true
        text: "فواتير العقد غير المسددة"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    Label {
        Layout.fillWidth: true
        visible: !(dialog.plan.invoices && dialog.plan.invoices.length > 0)
        text: "لا توجد"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    Repeater {
        model: dialog.plan.invoices ? dialog.plan.invoices : []
        delegate: RowLayout {
            required property var modelData
            Layout.fillWidth: true
            Label {
                Layout.fillWidth: true
                text: dialog.ltr(Theme.text(modelData.invoice_number)) + " - " + Theme.text(modelData.period)
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            Label {
                text: dialog.money(modelData.amount)
                color: Theme.warningColor
                font.family: Theme.fontFamily
                font.pixelSize: 13
            }
        }
    }

    Label {
        Layout.fillWidth: true
        text: "الأضرار"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    Repeater {
        model: dialog.damages
        delegate: RowLayout {
            required property var modelData
            required property int index
            Layout.fillWidth: true
            Label {
                Layout.fillWidth: true
                text: modelData.description
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
            Label {
                text: dialog.money(modelData.amount)
                color: Theme.warningColor
                font.family: Theme.fontFamily
                font.pixelSize: 13
            }
            MButton {
                objectName: "removeDamageButton" + index
                implicitHeight: 28
                outline: true
                text: "×"
                btnColor: Theme.dangerColor
                onClicked: dialog.removeDamage(index)
            }
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 8
        MTextField {
            id: descriptionField
            objectName: "damageDescriptionField"
            Layout.fillWidth: true
            placeholderText: "وصف الضرر"
        }
        MTextField {
            id: damageAmountField
            objectName: "damageAmountField"
            Layout.preferredWidth: 130
            placeholderText: "المبلغ"
            onAccepted: dialog.addDamage()
        }
        MButton {
            objectName: "addDamageButton"
            Layout.alignment: Qt.AlignBottom
            outline: true
            text: "+ إضافة"
            onClicked: dialog.addDamage()
        }
    }

    CheckBox {
        id: keepBox
        objectName: "keepRestBox"
        text: "احتجاز الباقي كاملاً (بلا رد)"
        font.family: Theme.fontFamily
        palette.windowText: Theme.textSecondary
    }
    CheckBox {
        id: invoiceBox
        objectName: "invoiceRestBox"
        text: "فوترة ما يزيد على التأمين للمستأجر"
        font.family: Theme.fontFamily
        palette.windowText: Theme.textSecondary
    }
    FilterChips {
        id: methodChips
        objectName: "refundMethodChips"
        visible: !keepBox.checked
        model: ["رد نقداً", "تحويل بنكي", "شيك"]
    }

    Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: figures.implicitHeight + 20
        radius: 8
        color: Theme.bgSecondary

        ColumnLayout {
            id: figures
            anchors.fill: parent
            anchors.margins: 10
            spacing: 4
            Label {
                objectName: "settlementFigures"
                Layout.fillWidth: true
                text: dialog.plan.refusal ? dialog.plan.refusal
                      : "المخصوم: " + dialog.ltr(dialog.money(dialog.plan.deducted))
                        + "   |   المردود: " + dialog.ltr(dialog.money(dialog.plan.refund))
                        + (Number(dialog.plan.kept) > 0 ? "   |   المحتجز: " + dialog.ltr(dialog.money(dialog.plan.kept)) : "")
                        + (Number(dialog.plan.invoiced_rest) > 0
                           ? "   |   يُفوتر للمستأجر: " + dialog.ltr(dialog.money(dialog.plan.invoiced_rest)) : "")
                color: dialog.plan.refusal ? Theme.dangerColor : Theme.gold
                font.family: Theme.fontFamily
                font.pixelSize: 14
                font.bold: true
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignLeft
            }
        }
    }

    MButton {
        objectName: "confirmSettlementButton"
        needs: "write"
        Layout.fillWidth: true
        enabled: !dialog.plan.refusal && authCtrl.canWrite
        text: "تسوية وطباعة الكشف"
        onClicked: confirm.ask("تسوية التأمين", "ستُخصم المبالغ الظاهرة من التأمين ويُصرف الباقي بسند صرف. "
                               + "لا يمكن التراجع عن التسوية.", "تسوية", dialog.settle, false)
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }
}
