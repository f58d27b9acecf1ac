import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int count: 0

    title: "نتيجة الإصدار"
    dialogWidth: 420

    Label {
        objectName: "invoiceResultText"
        Layout.fillWidth: true
        Layout.topMargin: 8
        Layout.bottomMargin: 8
        text: dialog.count > 0 ? "✅ تم إصدار " + dialog.count + " فاتورة بنجاح"
                               : "⚠️ لا توجد فواتير جديدة (قد تكون مكررة)"
        color: dialog.count > 0 ? Theme.successColor : Theme.warningColor
        font.family: Theme.fontFamily
        font.pixelSize: 16
        font.bold: true
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
    }
    MButton {
        objectName: "invoiceResultOkButton"
        Layout.fillWidth: true
        text: "حسناً"
        onClicked: dialog.close()
    }
}
