import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int tenantId: 0
    property string tenantName: ""
    property var account: ({})
    readonly property var entries: account && account.lines ? account.lines : []

    function reload() {
        reminders.load(tenantId)
        account = tenantId > 0 ? reportCtrl.getTenantAccount(tenantId) : {}
    }

    function printStatement() {
        printCtrl.printAccountStatement(tenantName, "مستأجر", account)
    }

    title: "كشف حساب المستأجر - " + tenantName
    dialogWidth: 860

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

    AccountLines {
        Layout.fillWidth: true
        account: dialog.account
        emptyText: "لا توجد حركات لهذا المستأجر"
        actionsWidth: 70
        actions: [
            { text: "إلغاء", name: "statementVoidButton", needs: "write", outline: true,
              color: Theme.dangerColor, show: r => Number(r.kind) === 0,
              run: r => {
                  voidDialog.invoiceId = Number(r.seq)
                  voidDialog.open()
              } }
        ]
    }

    VoidInvoiceDialog {
        id: voidDialog
        objectName: "statementVoidDialog"
        onVoided: dialog.reload()
    }

    ReminderPanel {
        id: reminders
        objectName: "tenantReminderPanel"
        Layout.fillWidth: true
        kind: "tenant"
        onSaid: (text, ok) => {
            dialog.messageColor = ok ? Theme.successColor : Theme.dangerColor
            dialog.message = text
        }
    }

    MButton {
        objectName: "printStatementButton"
        Layout.fillWidth: true
        text: "طباعة الكشف"
        iconSymbol: "⎙"
        onClicked: dialog.printStatement()
    }
}
