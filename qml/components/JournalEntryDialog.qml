import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A manual two-line journal entry: one debit account and one credit account.
MDialog {
    id: dialog

    property var accounts: []

    signal posted

    title: "إضافة قيد يومية"
    dialogWidth: 560

    onAboutToShow: {
        descField.text = ""
        refField.text = ""
        debitBox.currentIndex = -1
        creditBox.currentIndex = -1
        debitAmountField.text = ""
        creditAmountField.text = ""
    }

    function line(account, debit, credit) {
        return {
            account_id: Number(account.id),
            debit: debit,
            credit: credit,
            description: descField.text
        }
    }

    function save() {
        var debitAccount = accounts[debitBox.currentIndex]
        var creditAccount = accounts[creditBox.currentIndex]
        if (!debitAccount || !creditAccount) {
            message = "اختر الحساب المدين والحساب الدائن"
            return
        }
        var debit = debitAmountField.amount
        var credit = creditAmountField.amount
        if (isNaN(debit) || isNaN(credit) || debit <= 0 || credit <= 0) {
            message = "أدخل مبلغي المدين والدائن بأرقام موجبة"
            return
        }
        // The books balance to the cent, as the account model checks.
        if (Math.round(debit * 100) !== Math.round(credit * 100)) {
            message = "القيد غير متوازن: مبلغ المدين لا يساوي مبلغ الدائن"
            return
        }
        var ref = /^\d+$/.test(refField.text.trim()) ? parseInt(refField.text.trim(), 10) : 0
        var id = accountModel.createJournalEntry(Theme.today(), descField.text, "manual", ref,
                                                 [line(debitAccount, debit, 0),
                                                  line(creditAccount, 0, credit)])
        if (id > 0) {
            posted()
            close()
        } else {
            message = "تعذر حفظ القيد"
        }
    }

    MTextField {
        id: descField
        objectName: "journalDescField"
        Layout.fillWidth: true
        label: "الوصف / البيان"
    }
    MTextField {
        id: refField
        objectName: "journalRefField"
        Layout.fillWidth: true
        label: "المرجع"
    }
    Label {
        Layout.fillWidth: true
        Layout.topMargin: 4
        text: "تفاصيل القيد (مدين/دائن)"
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 14
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MComboBox {
            id: debitBox
            objectName: "journalDebitAccount"
            Layout.fillWidth: true
            Layout.preferredWidth: 3
            label: "الحساب المدين"
            placeholder: "اختر حساباً..."
            model: dialog.accounts
            textRole: "name_ar"
        }
        MTextField {
            id: debitAmountField
            objectName: "journalDebitAmount"
            Layout.fillWidth: true
            Layout.preferredWidth: 2
            label: "مبلغ المدين"
            placeholderText: "0.00"
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MComboBox {
            id: creditBox
            objectName: "journalCreditAccount"
            Layout.fillWidth: true
            Layout.preferredWidth: 3
            label: "الحساب الدائن"
            placeholder: "اختر حساباً..."
            model: dialog.accounts
            textRole: "name_ar"
        }
        MTextField {
            id: creditAmountField
            objectName: "journalCreditAmount"
            Layout.fillWidth: true
            Layout.preferredWidth: 2
            label: "مبلغ الدائن"
            placeholderText: "0.00"
        }
    }
    MButton {
        objectName: "saveJournalButton"
        needs: "write"
        Layout.fillWidth: true
        Layout.topMargin: 4
        text: "حفظ القيد"
        onClicked: dialog.save()
    }
}
