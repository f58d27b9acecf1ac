import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// What a rent or service run did: the invoices it issued and the ones it skipped, with why.
MDialog {
    id: dialog

    property int count: 0
    // InvoiceModel.lastRunReport of the run.
    property var report: ({})
    readonly property var issuedRows: report.issued || []
    readonly property var skippedRows: report.skipped || []
    readonly property int alreadyBilled: report.alreadyBilled || 0
    readonly property var lines: issuedRows.map(r => ({ issued: true, row: r }))
                                 .concat(skippedRows.map(r => ({ issued: false, row: r })))

    title: "نتيجة الإصدار"
    dialogWidth: 560

    Label {
        objectName: "invoiceResultText"
        Layout.fillWidth: true
        Layout.topMargin: 8
        text: dialog.count > 0 ? "✅ تم إصدار " + dialog.count + " فاتورة بنجاح"
                               : dialog.alreadyBilled > 0 ? "⚠️ لا توجد فواتير جديدة: كلها صدرت من قبل لهذه الفترة"
                                                          : "⚠️ لا توجد فواتير جديدة لهذه الفترة"
        color: dialog.count > 0 ? Theme.successColor : Theme.warningColor
        font.family: Theme.fontFamily
        font.pixelSize: 16
        font.bold: true
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
    }
    Label {
        objectName: "invoiceResultSummary"
        Layout.fillWidth: true
        visible: dialog.skippedRows.length > 0
        text: "لم يصدر " + dialog.skippedRows.length + ": منها " + dialog.alreadyBilled
              + " صدرت فواتيرها من قبل لهذه الفترة"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
    }
    ListView {
        id: lineList
        objectName: "invoiceResultList"
        Layout.fillWidth: true
        Layout.preferredHeight: Math.min(dialog.lines.length * 36, 252)
        visible: dialog.lines.length > 0
        clip: true
        model: dialog.lines
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        delegate: Rectangle {
            id: line
            required property var modelData
            width: lineList.width
            height: 36
            color: "transparent"
            Rectangle {
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                height: 1
                color: Theme.borderColor
            }
            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 6
                anchors.rightMargin: 6
                spacing: 8
                Label {
                    text: line.modelData.issued ? "✓" : "–"
                    color: line.modelData.issued ? Theme.successColor : Theme.warningColor
                    font.pixelSize: 14
                    font.bold: true
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 3
                    text: Theme.text(line.modelData.row.tenant_name)
                          + (line.modelData.row.unit_number ? " - " + line.modelData.row.unit_number : "")
                    color: Theme.textPrimary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 4
                    text: line.modelData.issued ? Theme.number(line.modelData.row.amount)
                                                : Theme.text(line.modelData.row.reason)
                    color: line.modelData.issued ? Theme.gold : Theme.textSecondary
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    horizontalAlignment: Text.AlignLeft
                }
            }
        }
    }
    MButton {
        objectName: "invoiceResultOkButton"
        Layout.fillWidth: true
        text: "حسناً"
        onClicked: dialog.close()
    }
}
