import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// The receipt and payment vouchers, newest first, a page at a time: searched by number, name or
// amount, each printed (a reprint is marked as a copy).
ColumnLayout {
    id: view

    property var vouchers: []
    property int total: 0
    property int offset: 0
    readonly property int pageSize: 50

    function reload() {
        total = voucherModel.count(searchField.text)
        if (offset >= total)
            offset = Math.max(0, (Math.ceil(total / pageSize) - 1) * pageSize)
        vouchers = Theme.rows(voucherModel.search(searchField.text, pageSize, offset))
    }

    function printVoucher(id) {
        var voucher = voucherModel.forPrint(Number(id))
        if (voucher.id)
            printCtrl.printVoucher(voucher, twiceBox.checked)
    }

    spacing: 12

    RowLayout {
        Layout.fillWidth: true
        spacing: 10

        MTextField {
            id: searchField
            objectName: "voucherSearchField"
            Layout.fillWidth: true
            placeholderText: "ابحث برقم السند أو الاسم أو المبلغ"
            field.onTextChanged: {
                view.offset = 0
                view.reload()
            }
        }
        CheckBox {
            id: twiceBox
            objectName: "voucherTwiceBox"
            text: "نسختان على ورقة A4"
            font.family: Theme.fontFamily
            palette.windowText: Theme.textSecondary
        }
    }

    DataTable {
        objectName: "vouchersTable"
        Layout.fillWidth: true
        Layout.fillHeight: true
        rows: view.vouchers
        actionsWidth: 70
        emptyText: searchField.text !== "" ? "لا توجد سندات تطابق البحث" : "لا توجد سندات بعد"
        columns: [
            { title: "رقم السند", w: 2.8, value: r => r.number, bold: true },
            { title: "النوع", w: 1.2, value: r => r.kind === "receipt" ? "قبض" : "صرف",
              color: r => r.kind === "receipt" ? Theme.successColor : Theme.warningColor },
            { title: "الاسم", w: 2.2, value: r => Theme.text(r.party_name) },
            { title: "البيان", w: 2.8, value: r => Theme.text(r.purpose) },
            { title: "المبلغ", w: 1.8, value: r => Theme.number(r.amount) + " "
                  + Theme.text(r.currency_symbol), bold: true },
            { title: "التاريخ", w: 1.6, value: r => r.voucher_date },
            { title: "الحالة", w: 1.2, value: r => r.status === "void" ? "ملغى" : "ساري",
              color: r => r.status === "void" ? Theme.dangerColor : Theme.textSecondary }
        ]
        actions: [
            { text: "طباعة", name: "printVoucherButton", outline: true,
              run: r => view.printVoucher(r.id) }
        ]
    }

    RowLayout {
        Layout.alignment: Qt.AlignHCenter
        spacing: 12

        MButton {
            objectName: "vouchersNewerButton"
            outline: true
            enabled: view.offset > 0
            text: "الأحدث"
            onClicked: {
                view.offset = Math.max(0, view.offset - view.pageSize)
                view.reload()
            }
        }
        Label {
            objectName: "vouchersPageLabel"
            text: view.total === 0 ? "" : "\u2066" + (view.offset + 1) + "–"
                  + Math.min(view.offset + view.pageSize, view.total) + "\u2069 من \u2066"
                  + view.total + "\u2069"
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 13
        }
        MButton {
            objectName: "vouchersOlderButton"
            outline: true
            enabled: view.offset + view.pageSize < view.total
            text: "الأقدم"
            onClicked: {
                view.offset += view.pageSize
                view.reload()
            }
        }
    }
}
