import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int tenantId: 0
    property string tenantName: ""
    property var entries: []
    property real totalDebit: 0
    property real totalCredit: 0

    function reload() {
        entries = tenantId > 0 ? Theme.rows(reportCtrl.getTenantStatement(tenantId)) : []
        var debit = 0
        var credit = 0
        for (var i = 0; i < entries.length; ++i) {
            debit += Number(entries[i].debit) || 0
            credit += Number(entries[i].credit) || 0
        }
        totalDebit = debit
        totalCredit = credit
    }

    function askVoid(invoiceNumber) {
        var invoices = Theme.rows(invoiceModel.getByTenant(tenantId))
        for (var i = 0; i < invoices.length; ++i) {
            if (invoices[i].invoice_number === invoiceNumber) {
                voidDialog.invoiceId = Number(invoices[i].id)
                voidDialog.open()
                return
            }
        }
    }

    function printStatement() {
        var transactions = []
        var running = 0
        for (var i = 0; i < entries.length; ++i) {
            var e = entries[i]
            var debit = Number(e.debit) || 0
            var credit = Number(e.credit) || 0
            running += debit - credit
            transactions.push({
                date: Theme.text(e.date),
                description: Theme.text(e.type) + " - " + Theme.text(e.ref),
                reference: Theme.text(e.ref),
                amount: debit > 0 ? debit : credit,
                balance: Theme.money(running)
            })
        }
        var totals = {
            "إجمالي المطلوبات": Theme.money(totalDebit),
            "إجمالي المدفوعات": Theme.money(totalCredit),
            "الرصيد المتبقي": Theme.money(totalDebit - totalCredit)
        }
        printCtrl.printStatement(tenantName, "مستأجر", transactions, totals)
    }

    title: "كشف حساب المستأجر - " + tenantName
    dialogWidth: 760

    onTenantIdChanged: reload()
    onAboutToShow: reload()

    Connections {
        target: printCtrl
        enabled: dialog.opened
        function onPrintFinished(success, filePath) {
            dialog.messageColor = Theme.successColor
            dialog.message = success ? "تم حفظ الكشف: " + filePath : ""
        }
        function onPrintError(error) {
            dialog.messageColor = Theme.dangerColor
            dialog.message = "تعذرت الطباعة: " + error
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        StatsCard {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            title: "إجمالي المطلوبات"
            value: Theme.money(dialog.totalDebit)
            icon: "📈"
        }
        StatsCard {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            title: "إجمالي المدفوعات"
            value: Theme.money(dialog.totalCredit)
            icon: "📉"
        }
        StatsCard {
            objectName: "statementBalanceCard"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            title: "الرصيد المتبقي"
            value: Theme.money(dialog.totalDebit - dialog.totalCredit)
            icon: "⚖️"
        }
    }

    RowLayout {
        Layout.fillWidth: true
        Layout.leftMargin: 14
        Layout.rightMargin: 14
        visible: dialog.entries.length > 0
        spacing: 12
        Repeater {
            model: [
                { t: "التاريخ", w: 150 }, { t: "النوع", w: 60 }, { t: "المرجع", w: -1 },
                { t: "مدين", w: 100 }, { t: "دائن", w: 100 }, { t: "", w: 56 }
            ]
            delegate: Label {
                required property var modelData
                Layout.preferredWidth: modelData.w > 0 ? modelData.w : -1
                Layout.fillWidth: modelData.w < 0
                text: modelData.t
                color: Theme.textMuted
                font.family: Theme.fontFamily
                font.pixelSize: 12
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
        }
    }

    Label {
        Layout.fillWidth: true
        visible: dialog.entries.length === 0
        text: "لا توجد حركات لهذا المستأجر"
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignHCenter
    }

    Repeater {
        model: dialog.entries

        delegate: Rectangle {
            id: entryRow
            required property var modelData
            Layout.fillWidth: true
            Layout.preferredHeight: 44
            radius: 6
            color: Theme.bgSecondary

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 14
                anchors.rightMargin: 14
                spacing: 12
                Label {
                    Layout.preferredWidth: 150
                    text: Theme.text(entryRow.modelData.date)
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 60
                    text: Theme.text(entryRow.modelData.type)
                    color: entryRow.modelData.type === "فاتورة" ? Theme.dangerColor : Theme.successColor
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    text: Theme.text(entryRow.modelData.ref)
                    color: Theme.textPrimary
                    font.pixelSize: 12
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 100
                    text: Number(entryRow.modelData.debit) > 0 ? Theme.money(entryRow.modelData.debit) : "-"
                    color: Theme.dangerColor
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 100
                    text: Number(entryRow.modelData.credit) !== 0 ? Theme.money(entryRow.modelData.credit) : "-"
                    color: Number(entryRow.modelData.credit) < 0 ? Theme.dangerColor : Theme.successColor
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Item {
                    Layout.preferredWidth: 56
                    Layout.fillHeight: true
                    MButton {
                        objectName: "statementVoidButton"
                        needs: "write"
                        anchors.centerIn: parent
                        visible: entryRow.modelData.type === "فاتورة"
                        implicitHeight: 28
                        leftPadding: 8
                        rightPadding: 8
                        text: "إلغاء"
                        outline: true
                        btnColor: Theme.dangerColor
                        onClicked: dialog.askVoid(entryRow.modelData.ref)
                    }
                }
            }
        }
    }

    VoidInvoiceDialog {
        id: voidDialog
        objectName: "statementVoidDialog"
        onVoided: dialog.reload()
    }

    MButton {
        objectName: "printStatementButton"
        Layout.fillWidth: true
        text: "طباعة الكشف"
        iconSymbol: "⎙"
        onClicked: dialog.printStatement()
    }
}
