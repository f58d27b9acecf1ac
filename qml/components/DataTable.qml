import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A card with a header strip and one row per map of `rows`: a list of maps, or a paged list
// (listCatalog.open) that the view reads further as it scrolls.
//   columns: [{ title, w, value: row => text, color: row => colour (optional), bold }]
//   actions: [{ text, name, run: (row, index) => ..., show: row => bool, color, outline, needs }]
// An action's button in row i is named name + i.
Rectangle {
    id: table

    property var columns: []
    property var rows: []
    property var actions: []
    property int actionsWidth: 0
    property int rowHeight: 52
    property string emptyText: "لا توجد بيانات"
    // Widths are shares: preferred widths far above any text's, shrunk in proportion to fit.
    readonly property alias list: list

    radius: 12
    color: Theme.bgCard
    border.color: Theme.borderColor

    function rowCount() {
        return !rows ? 0 : rows.length !== undefined ? rows.length : rows.count
    }

    function rowAt(index) {
        return rows.length !== undefined ? rows[index] : rows.get(index)
    }

    function cellText(column, row) {
        return column.value ? Theme.text(column.value(row)) : ""
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 1
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 44
            color: Theme.bgSecondary
            radius: 12

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 16
                spacing: 12
                Repeater {
                    model: table.columns
                    delegate: Label {
                        required property var modelData
                        Layout.fillWidth: true
                        Layout.preferredWidth: (modelData.w || 1) * 100
                        Layout.minimumWidth: 0
                        text: modelData.title
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        font.bold: true
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Item {
                    visible: table.actionsWidth > 0
                    Layout.preferredWidth: table.actionsWidth
                }
            }
        }

        Label {
            Layout.fillWidth: true
            Layout.topMargin: 24
            visible: table.rowCount() === 0
            text: table.emptyText
            color: Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 14
            horizontalAlignment: Text.AlignHCenter
        }

        ListView {
            id: list
            objectName: table.objectName !== "" ? table.objectName + "List" : ""
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: table.rows
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                id: row
                required property int index
                readonly property var rowData: table.rowAt(index)
                width: list.width
                height: table.rowHeight
                color: rowHover.hovered ? "#151b2e" : "transparent"

                HoverHandler {
                    id: rowHover
                }
                Rectangle {
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    height: 1
                    color: Theme.borderColor
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 16
                    anchors.rightMargin: 16
                    spacing: 12

                    Repeater {
                        model: table.columns
                        delegate: Label {
                            required property var modelData
                            required property int index
                            Layout.fillWidth: true
                            Layout.preferredWidth: (modelData.w || 1) * 100
                            Layout.minimumWidth: 0
                            text: table.cellText(modelData, row.rowData)
                            color: modelData.color ? modelData.color(row.rowData)
                                                   : (index === 0 ? Theme.textPrimary : Theme.textSecondary)
                            font.family: Theme.fontFamily
                            font.pixelSize: 13
                            font.bold: modelData.bold === true
                            elide: Text.ElideRight
                            horizontalAlignment: Text.AlignLeft
                        }
                    }
                    RowLayout {
                        visible: table.actionsWidth > 0
                        Layout.fillWidth: false
                        Layout.preferredWidth: table.actionsWidth
                        Layout.maximumWidth: table.actionsWidth
                        spacing: 6
                        Repeater {
                            model: table.actions
                            delegate: MButton {
                                required property var modelData
                                objectName: modelData.name + row.index
                                visible: modelData.show ? modelData.show(row.rowData) : true
                                implicitHeight: 32
                                leftPadding: 10
                                rightPadding: 10
                                text: modelData.text
                                needs: modelData.needs ? modelData.needs : ""
                                outline: modelData.outline === true
                                btnColor: modelData.color ? modelData.color : Theme.gold
                                onClicked: modelData.run(row.rowData, row.index)
                            }
                        }
                    }
                }
            }
        }
    }
}
