import QtQuick
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    // A large history, newest first, read a screenful at a time as the table scrolls.
    property var invoices: listCatalog.open("invoices", page)
    property bool filtered: false

    function reload() {
        applyFilter()
        invoices.reload()
    }

    function applyFilter() {
        filtered = filter.searchText() !== "" || filter.fromText() !== "" || filter.toText() !== ""
        invoices.search = filter.searchText()
        invoices.from = filter.fromText()
        invoices.to = filter.toText()
    }

    function showResult(count, heading) {
        resultDialog.title = heading || "نتيجة الإصدار"
        resultDialog.count = count
        resultDialog.report = invoiceModel.lastRunReport
        resultDialog.open()
        reload()
    }

    // A voided invoice stays listed, greyed.
    function shade(row, colour) {
        return row.status === "void" ? Theme.textMuted : colour
    }

    function statusText(status) {
        return status === "paid" ? "مدفوعة" : status === "partial" ? "جزئي"
                                                                   : status === "void" ? "ملغاة" : "معلقة"
    }

    function statusColor(status) {
        return status === "paid" ? Theme.successColor : status === "partial" ? Theme.warningColor
                                                                            : status === "void" ? Theme.textMuted : Theme.gold
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a list is read only while its page is shown.
    Component.onCompleted: invoices.active = visible
    onVisibleChanged: invoices.active = visible

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "الفواتير"
            subtitle: "إدارة الفواتير والمستحقات - متعددة الخدمات والعملات"
        }

        // A row of their own: beside the title they would cut the subtitle short. On a narrow
        // window they wrap instead of running off the page.
        Flow {
            Layout.fillWidth: true
            spacing: 10

            MButton {
                objectName: "customInvoiceButton"
                needs: "write"
                text: "+ فاتورة مخصصة"
                outline: true
                onClicked: customDialog.open()
            }
            MButton {
                objectName: "rentRunButton"
                needs: "write"
                text: "📄 إصدار إيجارات الشهر"
                onClicked: rentDialog.open()
            }
            MButton {
                objectName: "serviceInvoiceButton"
                needs: "write"
                text: "⚡ فاتورة خدمة جماعية"
                outline: true
                onClicked: serviceDialog.open()
            }
            MButton {
                objectName: "meterReadingsButton"
                text: "🔢 قراءات العدادات"
                outline: true
                onClicked: readingsDialog.open()
            }
            MButton {
                objectName: "lateFeesButton"
                needs: "write"
                text: "⏱ رسوم التأخير"
                outline: true
                onClicked: lateFeeDialog.open()
            }
        }

        ListFilter {
            id: filter
            objectName: "invoiceListFilter"
            Layout.fillWidth: true
            onChanged: page.applyFilter()
        }

        DataTable {
            objectName: "invoicesTable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.invoices
            emptyText: page.filtered ? "لا توجد فواتير تطابق البحث" : "لا توجد فواتير بعد"
            actionsWidth: 70
            columns: [
                { title: "رقم الفاتورة", w: 3.6, value: r => r.invoice_number, bold: true,
                  color: r => page.shade(r, Theme.textPrimary) },
                { title: "المستأجر", w: 2.7, value: r => r.tenant_name,
                  color: r => page.shade(r, Theme.textSecondary) },
                { title: "العقار / الوحدة", w: 2.7, value: r => Theme.text(r.property_name)
                      + (r.unit_number ? " - " + r.unit_number : ""),
                  color: r => page.shade(r, Theme.textSecondary) },
                { title: "الفترة", w: 1.3, value: r => r.period,
                  color: r => page.shade(r, Theme.textSecondary) },
                { title: "المبلغ", w: 1.6, value: r => Theme.number(r.total_amount),
                  color: r => page.shade(r, Theme.textPrimary) },
                { title: "المتبقي", w: 1.6, value: r => Theme.number(r.balance), bold: true,
                  color: r => page.shade(r, Number(r.balance) > 0 ? Theme.dangerColor : Theme.successColor) },
                { title: "الحالة", w: 1.3, value: r => page.statusText(r.status), bold: true,
                  color: r => page.statusColor(r.status) }
            ]
            actions: [
                { text: "إلغاء", name: "voidInvoiceButton", needs: "write", outline: true, color: Theme.dangerColor,
                  show: r => r.status !== "void",
                  run: r => {
                      voidDialog.invoiceId = Number(r.id)
                      voidDialog.open()
                  } }
            ]
        }
    }

    RentRunDialog {
        id: rentDialog
        objectName: "rentRunDialog"
        onIssued: count => page.showResult(count)
    }
    CustomInvoiceDialog {
        id: customDialog
        objectName: "customInvoiceDialog"
        onCreated: page.reload()
    }
    ServiceInvoiceDialog {
        id: serviceDialog
        objectName: "serviceInvoiceDialog"
        onIssued: count => page.showResult(count)
    }
    VoidInvoiceDialog {
        id: voidDialog
        objectName: "voidInvoiceDialog"
        onVoided: page.reload()
    }
    MeterReadingsDialog {
        id: readingsDialog
        objectName: "meterReadingsDialog"
        onIssued: count => page.showResult(count)
    }
    LateFeeRunDialog {
        id: lateFeeDialog
        objectName: "lateFeeRunDialog"
        onCharged: count => page.showResult(count, "نتيجة رسوم التأخير")
    }
    InvoiceResultDialog {
        id: resultDialog
        objectName: "invoiceResultDialog"
    }
}
