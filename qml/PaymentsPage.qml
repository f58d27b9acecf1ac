import QtQuick
import QtQuick.Layouts
import "components"

Rectangle {
    color: "#0a0e1a"

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 20

        PageHeader {
            Layout.fillWidth: true
            title: "المدفوعات"
            subtitle: "تتبع جميع المدفوعات"
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
