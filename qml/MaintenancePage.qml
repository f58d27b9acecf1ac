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
            title: "الصيانة"
            subtitle: "إدارة طلبات الصيانة والإصلاحات"
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
