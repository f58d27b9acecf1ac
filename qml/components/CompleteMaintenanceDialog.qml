import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property int requestId: 0
    property string requestTitle: ""

    signal completed

    title: "إكمال طلب الصيانة"
    dialogWidth: 420

    onAboutToShow: costField.text = ""

    Label {
        Layout.fillWidth: true
        text: dialog.requestTitle
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        font.bold: true
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignLeft
    }
    MTextField {
        id: costField
        objectName: "maintenanceCostField"
        Layout.fillWidth: true
        label: "تكلفة الصيانة"
        placeholderText: "0.00"
    }
    MButton {
        objectName: "confirmCompleteButton"
        needs: "write"
        Layout.fillWidth: true
        text: "تأكيد الإكمال"
        onClicked: {
            var cost = costField.amount
            if (isNaN(cost) || cost < 0) {
                dialog.message = "أدخل تكلفة صحيحة"
                return
            }
            if (maintenanceModel.complete(dialog.requestId, cost)) {
                dialog.completed()
                dialog.close()
            } else {
                dialog.message = "تعذر إكمال الطلب"
            }
        }
    }
}
