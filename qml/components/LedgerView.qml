import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// One account between two days: opening balance, every line with its entry and the running
// balance, closing balance; printable.
ColumnLayout {
    id: view

    property var accounts: []
    property var ledger: ({ rows: [], opening: 0, closing: 0 })

    signal openEntry(int entryId)

    function accountId() {
        return accountBox.currentIndex >= 0 ? Number(accounts[accountBox.currentIndex].id) : 0
    }

    function reload() {
        if (accountId() > 0)
            ledger = accountModel.getLedger(accountId(), fromField.date, toField.date)
    }

    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MComboBox {
            id: accountBox
            objectName: "ledgerAccount"
            Layout.preferredWidth: 260
            model: view.accounts.map(a => a.code + " " + a.name_ar)
            placeholder: "اختر الحساب"
            onActivated: view.reload()
        }
        MTextField {
            id: fromField
            objectName: "ledgerFrom"
            Layout.fillWidth: false
            Layout.preferredWidth: 150
            placeholderText: "من YYYY-MM-DD"
            onAccepted: view.reload()
        }
        MTextField {
            id: toField
            objectName: "ledgerTo"
            Layout.fillWidth: false
            Layout.preferredWidth: 150
            placeholderText: "إلى YYYY-MM-DD"
            onAccepted: view.reload()
        }
        MButton {
            objectName: "ledgerShowButton"
            text: "عرض"
            onClicked: view.reload()
        }
        MButton {
            objectName: "ledgerPrintButton"
            text: "PDF"
            outline: true
            enabled: view.accountId() > 0
            onClicked: printCtrl.printDocument(
                           accountModel.ledgerDocument(view.accountId(), fromField.date, toField.date))
        }
        Item {
            Layout.fillWidth: true
        }
    }

    RowLayout {
        Layout.fillWidth: true
        visible: view.accountId() > 0
        Label {
            objectName: "ledgerOpening"
            text: "الرصيد الافتتاحي: " + Theme.money(view.ledger.opening)
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 14
        }
        Item {
            Layout.fillWidth: true
        }
        Label {
            objectName: "ledgerClosing"
            text: "الرصيد الختامي: " + Theme.money(view.ledger.closing)
            color: Theme.gold
            font.family: Theme.fontFamily
            font.pixelSize: 14
            font.bold: true
        }
    }

    DataTable {
        objectName: "ledgerTable"
        Layout.fillWidth: true
        Layout.fillHeight: true
        rows: Theme.rows(view.ledger.rows)
        emptyText: view.accountId() > 0 ? "لا توجد حركات في هذه الفترة" : "اختر حساباً لعرض حركاته"
        actionsWidth: 70
        actions: [
            { text: "القيد", name: "ledgerEntryButton", needs: "", outline: true,
              run: r => view.openEntry(Number(r.entry_id)) }
        ]
        columns: [
            { title: "التاريخ", w: 2, value: r => r.entry_date },
            { title: "القيد", w: 1, value: r => r.entry_id },
            { title: "البيان", w: 4, value: r => r.description, color: () => Theme.textPrimary },
            { title: "مدين", w: 2, value: r => Theme.money(r.debit) },
            { title: "دائن", w: 2, value: r => Theme.money(r.credit) },
            { title: "الرصيد", w: 2, value: r => Theme.money(r.balance), color: () => Theme.gold }
        ]
    }
}
