import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// The title block of a page; the page's buttons go into `extraContent`.
RowLayout {
    id: header

    property string title: ""
    property string subtitle: ""
    default property alias extraContent: extraRow.data

    spacing: 16

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 4

        Label {
            Layout.fillWidth: true
            text: header.title
            color: Theme.textPrimary
            font.family: Theme.fontFamily
            font.pixelSize: 26
            font.bold: true
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
        Label {
            Layout.fillWidth: true
            visible: header.subtitle !== ""
            text: header.subtitle
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 14
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
    }

    RowLayout {
        id: extraRow
        Layout.alignment: Qt.AlignVCenter
        spacing: 10
    }
}
