import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int buyerId: 0
    property string buyerName: ""
    property var entries: []
    property real totalAmount: 0
    property real totalPaid: 0

    function reload() {
        entries = buyerId > 0 ? Theme.rows(reportCtrl.getBuyerStatement(buyerId)) : []
        var amount = 0
        var paid = 0
        for (var i = 0; i < entries.length; ++i) {
            amount += Number(entries[i].installment_amount) || 0
            paid += Number(entries[i].paid_amount) || 0
        }
        totalAmount = amount
        totalPaid = paid
    }

    function printStatement() {
        var transactions = []
        for (var i = 0; i < entries.length; ++i) {
            var e = entries[i]
            var amount = Number(e.installment_amount) || 0
            var paid = Number(e.paid_amount) || 0
            transactions.push({
                date: Theme.text(e.due_date),
                description: "قسط وحدة " + Theme.text(e.unit_number) + " (" + Theme.text(e.property_name) + ")",
                reference: "Installment #" + Theme.text(e.id),
                amount: Theme.money(amount),
                balance: Theme.money(amount - paid)
            })
        }
        var totals = {
            "إجمالي قيمة الأقساط": Theme.money(totalAmount),
            "إجمالي المسدد": Theme.money(totalPaid),
            "المتبقي الكلي": Theme.money(totalAmount - totalPaid)
        }
        printCtrl.printStatement(buyerName, "مشتري", transactions, totals)
    }

    title: "كشف حساب المشتري - " + buyerName
    dialogWidth: 720

    onBuyerIdChanged: reload()
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
            title: "إجمالي قيمة الأقساط"
            value: Theme.money(dialog.totalAmount)
            icon: "📅"
        }
        StatsCard {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            title: "إجمالي المسدد"
            value: Theme.money(dialog.totalPaid)
            icon: "✅"
        }
        StatsCard {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            title: "المتبقي الكلي"
            value: Theme.money(dialog.totalAmount - dialog.totalPaid)
            icon: "⚖️"
        }
    }

    Label {
        Layout.fillWidth: true
        visible: dialog.entries.length === 0
        text: "لا توجد أقساط لهذا المشتري"
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
                    Layout.preferredWidth: 100
                    text: Theme.text(entryRow.modelData.due_date)
                    color: Theme.textSecondary
                    font.pixelSize: 12
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    text: "قسط وحدة " + Theme.text(entryRow.modelData.unit_number)
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 110
                    text: Theme.money(entryRow.modelData.installment_amount)
                    color: Theme.dangerColor
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.preferredWidth: 110
                    text: Theme.money(entryRow.modelData.paid_amount)
                    color: Theme.successColor
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                }
            }
        }
    }

    MButton {
        objectName: "printBuyerStatementButton"
        Layout.fillWidth: true
        text: "طباعة كشف الحساب"
        iconSymbol: "⎙"
        onClicked: dialog.printStatement()
    }
}
