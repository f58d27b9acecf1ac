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
            title: "التقارير والتحليلات الذكية"
            subtitle: "تحليلات الأداء المالي المدعومة بالذكاء الاصطناعي"
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
