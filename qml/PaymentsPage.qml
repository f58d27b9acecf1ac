import QtQuick
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var payments: []
    // A large history is shown a screenful at a time, newest first.
    property int shown: 500

    readonly property var methodNames: ({
        cash: "نقدي",
        bank: "تحويل بنكي",
        cheque: "شيك"
    })

    function reload() {
        payments = Theme.rows(paymentModel.getLatest(shown))
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a page reads its lists only once it is shown, so a
    // large portfolio does not load every list up front.
    Component.onCompleted: if (visible)
        reload()
    onVisibleChanged: if (visible)
        reload()

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "المدفوعات"
            subtitle: "تتبع جميع المدفوعات"

            MButton {
                objectName: "addPaymentButton"
                needs: "write"
                text: "+ تسجيل دفعة"
                onClicked: paymentDialog.open()
            }
        }

        DataTable {
            objectName: "paymentsTable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            rows: page.payments
            emptyText: "لا توجد مدفوعات بعد"
            columns: [
                { title: "المستأجر", w: 3, value: r => r.tenant_name, bold: true },
                { title: "العقار", w: 3, value: r => Theme.text(r.property_name)
                      + (r.unit_number ? " - " + r.unit_number : "") },
                { title: "الفاتورة", w: 2, value: r => r.invoice_number },
                { title: "الطريقة", w: 1, value: r => page.methodNames[r.payment_method]
                      || Theme.text(r.payment_method) },
                { title: "المبلغ", w: 2, value: r => Theme.number(r.amount),
                  color: () => Theme.successColor, bold: true },
                { title: "التاريخ", w: 2, value: r => r.payment_date }
            ]
        }

        MButton {
            objectName: "paymentsMoreButton"
            Layout.alignment: Qt.AlignHCenter
            visible: page.payments.length >= page.shown
            outline: true
            text: "عرض المزيد"
            onClicked: {
                page.shown += 500
                page.reload()
            }
        }
    }

    PaymentDialog {
        id: paymentDialog
        objectName: "paymentDialog"
        onRecorded: page.reload()
    }
}
