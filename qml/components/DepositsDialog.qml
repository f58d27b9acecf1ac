import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A tenant's security deposits: leases whose deposit is still to be received, deposits held
// (settled when the lease ends) and deposits settled, each with its voucher.
MDialog {
    id: dialog

    property int tenantId: 0
    property string tenantName: ""
    property var deposits: []
    property var pending: []

    function reload() {
        deposits = tenantId > 0 ? Theme.rows(depositModel.getByTenant(tenantId)) : []
        pending = tenantId > 0 ? Theme.rows(depositModel.pendingLeases(tenantId)) : []
    }

    function receive(contractId) {
        var id = depositModel.receive(contractId, Theme.today(), "cash", "")
        if (id > 0) {
            reload()
            dialog.printVoucher(depositModel.getById(id).receipt_voucher_id)
        } else {
            message = depositModel.lastRefusal
        }
    }

    function printVoucher(id) {
        var voucher = voucherModel.forPrint(Number(id))
        if (voucher.id)
            printCtrl.printVoucher(voucher, false)
    }

    // Opens the settlement of the deposit held for the lease, if any.
    function settleLease(contractId) {
        reload()
        for (var i = 0; i < deposits.length; ++i) {
            if (Number(deposits[i].contract_id) === contractId && deposits[i].status === "held") {
                open()
                settlementDialog.openFor(deposits[i])
                return
            }
        }
    }

    title: "التأمينات - " + tenantName
    dialogWidth: 760

    onAboutToShow: reload()

    Label {
        Layout.fillWidth: true
        visible: dialog.deposits.length === 0 && dialog.pending.length === 0
        text: "لا توجد تأمينات لهذا المستأجر"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    Repeater {
        model: dialog.pending

        delegate: Rectangle {
            id: pendingRow
            required property var modelData
            required property int index
            Layout.fillWidth: true
            Layout.preferredHeight: 56
            radius: 8
            color: Theme.bgSecondary

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 10
                spacing: 12
                Label {
                    Layout.fillWidth: true
                    text: "عقد " + Theme.text(pendingRow.modelData.property_name) + " - "
                          + Theme.text(pendingRow.modelData.unit_number) + ": التأمين لم يُستلم بعد"
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    text: Theme.number(pendingRow.modelData.deposit) + " " + Theme.text(pendingRow.modelData.currency_symbol)
                    color: Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    font.bold: true
                }
                MButton {
                    objectName: "receiveDepositButton" + pendingRow.index
                    needs: "write"
                    implicitHeight: 32
                    text: "استلام"
                    onClicked: dialog.receive(Number(pendingRow.modelData.id))
                }
            }
        }
    }

    Repeater {
        model: dialog.deposits

        delegate: Rectangle {
            id: depositRow
            required property var modelData
            required property int index
            readonly property bool held: modelData.status === "held"
            Layout.fillWidth: true
            Layout.preferredHeight: 64
            radius: 8
            color: Theme.bgSecondary
            border.width: 1
            border.color: held ? Qt.rgba(0.83, 0.66, 0.26, 0.4) : Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 10
                spacing: 10

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    Label {
                        Layout.fillWidth: true
                        text: Theme.text(depositRow.modelData.property_name) + " - "
                              + Theme.text(depositRow.modelData.unit_number)
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        font.bold: true
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                    Label {
                        Layout.fillWidth: true
                        text: depositRow.held
                              ? "مستلم " + Theme.text(depositRow.modelData.received_date) + " - سند "
                                + "\u2066" + Theme.text(depositRow.modelData.receipt_number) + "\u2069"
                              : "سُوّي " + Theme.text(depositRow.modelData.settled_date) + " - المردود "
                                + Theme.number(depositRow.modelData.refunded)
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 12
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Label {
                    text: Theme.number(depositRow.modelData.amount) + " " + Theme.text(depositRow.modelData.currency_symbol)
                    color: Theme.gold
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    font.bold: true
                }
                Tag {
                    text: depositRow.held ? "محتجز" : "مُسوّى"
                    tagColor: depositRow.held ? Theme.warningColor : Theme.successColor
                }
                MButton {
                    objectName: "depositReceiptButton" + depositRow.index
                    implicitHeight: 32
                    outline: true
                    text: "سند"
                    onClicked: dialog.printVoucher(depositRow.held
                                                   || !(Number(depositRow.modelData.refund_voucher_id) > 0)
                                                   ? depositRow.modelData.receipt_voucher_id
                                                   : depositRow.modelData.refund_voucher_id)
                }
                MButton {
                    objectName: "settleDepositButton" + depositRow.index
                    needs: "write"
                    visible: depositRow.held
                    implicitHeight: 32
                    text: "تسوية"
                    onClicked: settlementDialog.openFor(depositRow.modelData)
                }
                MButton {
                    objectName: "depositStatementButton" + depositRow.index
                    visible: !depositRow.held
                    implicitHeight: 32
                    outline: true
                    text: "كشف التسوية"
                    onClicked: printCtrl.printDepositStatement(
                                   depositModel.statement(Number(depositRow.modelData.id)))
                }
            }
        }
    }

    DepositSettlementDialog {
        id: settlementDialog
        objectName: "depositSettlementDialog"
        onSettled: dialog.reload()
    }
}
