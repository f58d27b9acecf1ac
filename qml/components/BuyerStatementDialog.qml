import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int buyerId: 0
    property string buyerName: ""
    property var account: ({})
    readonly property var entries: account && account.lines ? account.lines : []

    function reload() {
        reminders.load(buyerId)
        account = buyerId > 0 ? reportCtrl.getBuyerAccount(buyerId) : {}
    }

    function printStatement() {
        printCtrl.printAccountStatement(buyerName, "مشتري", account)
    }

    title: "كشف حساب المشتري - " + buyerName
    dialogWidth: 860

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

    AccountLines {
        Layout.fillWidth: true
        account: dialog.account
        emptyText: "لا توجد أقساط لهذا المشتري"
    }

    ReminderPanel {
        id: reminders
        objectName: "buyerReminderPanel"
        Layout.fillWidth: true
        kind: "buyer"
        onSaid: (text, ok) => {
            dialog.messageColor = ok ? Theme.successColor : Theme.dangerColor
            dialog.message = text
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
