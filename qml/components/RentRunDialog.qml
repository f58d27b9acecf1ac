import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme
import "Periods.js" as Periods

// Issues the month's rent invoices for every active lease.
MDialog {
    id: dialog

    signal issued(int count)

    title: "إصدار فواتير الإيجار الشهرية"
    dialogWidth: 440

    onAboutToShow: periodField.text = Periods.currentPeriod()

    MTextField {
        id: periodField
        objectName: "rentPeriodField"
        Layout.fillWidth: true
        label: "الفترة (YYYY-MM)"
        placeholderText: "YYYY-MM"
    }
    Label {
        Layout.fillWidth: true
        text: "سيتم إصدار فاتورة لكل عقد نشط يغطي يوماً من هذا الشهر، ما لم تصدر فاتورته من قبل"
              + (settingsManager.prorateRent ? "؛ الشهر الأول والأخير بحسب الأيام المشمولة" : "")
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    MButton {
        objectName: "issueRentButton"
        needs: "write"
        Layout.fillWidth: true
        text: "إصدار الفواتير"
        onClicked: {
            if (!Periods.isPeriod(periodField.text)) {
                dialog.message = "أدخل الفترة بالصيغة YYYY-MM"
                return
            }
            var count = invoiceModel.generateAllRent(periodField.text)
            if (count === 0 && invoiceModel.lastRefusal !== "") {
                dialog.message = invoiceModel.lastRefusal
                return
            }
            dialog.close()
            dialog.issued(count)
        }
    }
}
