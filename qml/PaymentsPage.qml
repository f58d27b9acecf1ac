import QtQuick
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    // A large history, newest first, read a screenful at a time as the table scrolls.
    property var payments: listCatalog.open("payments", page)
    property bool filtered: false

    readonly property var methodNames: ({
        cash: "نقدي",
        bank: "تحويل بنكي",
        cheque: "شيك"
    })

    function reload() {
        applyFilter()
        payments.reload()
    }

    function applyFilter() {
        filtered = filter.searchText() !== "" || filter.fromText() !== "" || filter.toText() !== ""
        payments.search = filter.searchText()
        payments.from = filter.fromText()
        payments.to = filter.toText()
    }

    // A reversed payment stays listed, greyed, beside the reversal that undoes it.
    function undone(row) {
        return Number(row.reversed_by) > 0
    }

    function isReversal(row) {
        return Number(row.reverses_payment_id) > 0
    }

    function shade(row, colour) {
        return undone(row) ? Theme.textMuted : colour
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a list is read only while its page is shown.
    Component.onCompleted: payments.active = visible
    onVisibleChanged: payments.active = visible

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "المدفوعات"
            subtitle: "تتبع جميع المدفوعات"

            MButton {
                objectName: "settleInvoicesButton"
                needs: "write"
                text: "دفعة لعدة فواتير"
                outline: true
                onClicked: settlementDialog.open()
            }
            MButton {
                objectName: "addPaymentButton"
                needs: "write"
                text: "+ تسجيل دفعة"
                onClicked: paymentDialog.open()
            }
        }

        FilterChips {
            id: tabs
            objectName: "paymentsTabs"
            model: ["المدفوعات", "سندات القبض والصرف"]
            onSelected: {
                if (tabs.currentIndex === 1)
                    vouchersView.reload()
                else
                    page.reload()
            }
        }

        ListFilter {
            id: filter
            objectName: "paymentListFilter"
            visible: tabs.currentIndex === 0
            Layout.fillWidth: true
            onChanged: page.applyFilter()
        }

        VouchersView {
            id: vouchersView
            objectName: "vouchersView"
            visible: tabs.currentIndex === 1
            Layout.fillWidth: true
            Layout.fillHeight: true
        }

        DataTable {
            objectName: "paymentsTable"
            visible: tabs.currentIndex === 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.payments
            emptyText: page.filtered ? "لا توجد مدفوعات تطابق البحث" : "لا توجد مدفوعات بعد"
            actionsWidth: 130
            columns: [
                { title: "المستأجر", w: 3, value: r => r.tenant_name, bold: true,
                  color: r => page.shade(r, Theme.textPrimary) },
                { title: "العقار", w: 3, value: r => Theme.text(r.property_name)
                      + (r.unit_number ? " - " + r.unit_number : ""),
                  color: r => page.shade(r, Theme.textSecondary) },
                { title: "الفاتورة", w: 2, value: r => r.invoice_number,
                  color: r => page.shade(r, Theme.textSecondary) },
                { title: "الطريقة", w: 1, value: r => page.isReversal(r) ? "عكس"
                      : page.undone(r) ? "معكوسة" : page.methodNames[r.payment_method]
                      || Theme.text(r.payment_method),
                  color: r => page.isReversal(r) || page.undone(r) ? Theme.warningColor : Theme.textSecondary },
                { title: "المبلغ", w: 2, value: r => Theme.number(r.amount),
                  color: r => page.isReversal(r) ? Theme.dangerColor : page.shade(r, Theme.successColor),
                  bold: true },
                { title: "التاريخ", w: 2, value: r => r.payment_date,
                  color: r => page.shade(r, Theme.textSecondary) }
            ]
            actions: [
                { text: "سند", name: "paymentVoucherButton", outline: true,
                  show: r => Number(r.voucher_id) > 0,
                  run: r => vouchersView.printVoucher(r.voucher_id) },
                { text: "عكس", name: "reversePaymentButton", needs: "admin", outline: true, color: Theme.dangerColor,
                  show: r => !page.undone(r) && !page.isReversal(r) && !!r.invoice_id,
                  run: r => {
                      reverseDialog.payment = r
                      reverseDialog.open()
                  } }
            ]
        }
    }

    ReversePaymentDialog {
        id: reverseDialog
        objectName: "reversePaymentDialog"
        onReversed: page.reload()
    }
    PaymentDialog {
        id: paymentDialog
        objectName: "paymentDialog"
        onRecorded: page.reload()
    }

    SettlementDialog {
        id: settlementDialog
        objectName: "settlementDialog"
        onRecorded: page.reload()
    }
}
