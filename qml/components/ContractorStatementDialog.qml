import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

// Expenses charged to a contractor and the payments made to them, with the running balance.
MDialog {
    id: dialog

    property int contractorId: 0
    property string contractorName: ""
    property var account: ({})

    function openFor(row) {
        contractorName = row ? row.name : ""
        contractorId = row ? Number(row.id) : 0
        reload()
        open()
    }

    function reload() {
        account = contractorId > 0 ? reportCtrl.getContractorAccount(contractorId) : {}
    }

    function printStatement() {
        printCtrl.printAccountStatement(contractorName, "مقاول", account)
    }

    title: "كشف حساب المقاول - " + contractorName
    dialogWidth: 860

    onContractorIdChanged: reload()
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
        objectName: "contractorAccountLines"
        Layout.fillWidth: true
        account: dialog.account
        debitTitle: dialog.account && dialog.account.debit_label ? dialog.account.debit_label
                                                                 : "مدين"
        creditTitle: dialog.account && dialog.account.credit_label ? dialog.account.credit_label
                                                                   : "دائن"
        emptyText: "لا توجد مصروفات أو دفعات لهذا المقاول"
    }

    MButton {
        objectName: "printContractorStatementButton"
        Layout.fillWidth: true
        text: "طباعة كشف الحساب"
        iconSymbol: "⎙"
        onClicked: dialog.printStatement()
    }
}
