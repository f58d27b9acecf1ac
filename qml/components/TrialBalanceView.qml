import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// Every account's debit and credit totals and balance up to a day; the two sides' totals must
// agree.
ColumnLayout {
    id: view

    property var trial: ({ rows: [], debit: 0, credit: 0 })

    function reload() {
        trial = accountModel.getTrialBalance(dayField.date)
    }

    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MTextField {
            id: dayField
            objectName: "trialDateField"
            Layout.fillWidth: false
            Layout.preferredWidth: 200
            placeholderText: "حتى تاريخ YYYY-MM-DD"
            onAccepted: view.reload()
        }
        MButton {
            objectName: "trialShowButton"
            text: "عرض"
            onClicked: view.reload()
        }
        Item {
            Layout.fillWidth: true
        }
        Label {
            objectName: "trialTotals"
            text: "مجموع المدين " + Theme.money(view.trial.debit) + "   •   مجموع الدائن "
                  + Theme.money(view.trial.credit)
            color: Math.round(Number(view.trial.debit) * 100) === Math.round(Number(view.trial.credit) * 100)
                   ? Theme.successColor : Theme.dangerColor
            font.family: Theme.fontFamily
            font.pixelSize: 14
            font.bold: true
        }
    }

    DataTable {
        objectName: "trialTable"
        Layout.fillWidth: true
        Layout.fillHeight: true
        rows: Theme.rows(view.trial.rows)
        emptyText: "لا توجد حسابات"
        columns: [
            { title: "الرمز", w: 1, value: r => r.code, bold: true },
            { title: "الحساب", w: 3, value: r => r.name_ar, color: () => Theme.textPrimary },
            { title: "مدين", w: 2, value: r => Theme.money(r.debit) },
            { title: "دائن", w: 2, value: r => Theme.money(r.credit) },
            { title: "الرصيد", w: 2, value: r => Theme.money(r.balance), color: () => Theme.gold }
        ]
    }
}
