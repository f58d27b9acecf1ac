import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// One journal entry: its date, description, the operation it came from, and its lines.
MDialog {
    id: dialog

    property var entry: ({})

    function openFor(entryId) {
        entry = accountModel.getEntry(entryId)
        title = "القيد رقم " + entryId
        open()
    }

    dialogWidth: 640

    Label {
        objectName: "entryOperation"
        Layout.fillWidth: true
        text: Theme.text(dialog.entry.entry_date) + " — " + Theme.text(dialog.entry.description)
              + "\nالمصدر: " + Theme.text(dialog.entry.operation)
              + (dialog.entry.currency && Number(dialog.entry.rate) !== 1
                 ? "\nالعملة: " + dialog.entry.currency + " بسعر " + Theme.number(dialog.entry.rate) : "")
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    DataTable {
        objectName: "entryLinesTable"
        Layout.fillWidth: true
        Layout.preferredHeight: 60 + 52 * Math.max(1, Theme.rows(dialog.entry.lines).length)
        rows: Theme.rows(dialog.entry.lines)
        columns: [
            { title: "الحساب", w: 4, value: r => r.code + " " + r.name_ar, color: () => Theme.textPrimary },
            { title: "مدين", w: 2, value: r => Theme.money(r.debit) },
            { title: "دائن", w: 2, value: r => Theme.money(r.credit) }
        ]
    }
}
