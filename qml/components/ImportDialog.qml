import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

MDialog {
    id: dialog

    property string targetTable: "tenants"
    // The rows the last import skipped, each with its line and reason.
    property var skippedRows: []

    // After a successful import, with the text to show the operator.
    signal imported(string summary)

    function counts() {
        return "تم استيراد " + (Number(importCtrl.lastImported) || 0) + " صف، وتخطي "
            + (Number(importCtrl.lastSkipped) || 0) + " صف"
    }

    function start() {
        var text = input.text
        if (text.trim() === "")
            return
        var stored = importCtrl.importRawCSV(text, targetTable)
        skippedRows = Theme.rows(importCtrl.lastSkippedRows)
        var header = importCtrl.lastHeaderSkipped ? " (وتُرك سطر العناوين)" : ""
        if (stored && skippedRows.length === 0) {
            var summary = "نجاح: تم استيراد البيانات بنجاح — " + counts() + header
            input.text = ""
            close()
            imported(summary)
        } else if (stored) {
            // Stays open: the skipped rows are listed below with their reasons.
            input.text = ""
            messageColor = Theme.warningColor
            message = "تم الاستيراد جزئياً — " + counts() + header
            imported(message)
        } else {
            messageColor = Theme.dangerColor
            message = "خطأ: فشل استيراد البيانات، تأكد من الصيغة — " + counts()
        }
    }

    title: "استيراد بيانات من إكسل (لصق مباشر)"

    onAboutToShow: skippedRows = []
    dialogWidth: 620

    Label {
        Layout.fillWidth: true
        text: "قم بنسخ البيانات من الإكسل ثم لصقها في المربع أدناه:"
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    ScrollView {
        Layout.fillWidth: true
        Layout.preferredHeight: 200

        TextArea {
            id: input
            objectName: "importText"
            color: Theme.textPrimary
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: TextEdit.NoWrap
            selectByMouse: true
            placeholderText: "..."
            placeholderTextColor: "#475569"
            horizontalAlignment: TextEdit.AlignLeft
            background: Rectangle {
                radius: 8
                color: Theme.inputBg
                border.width: 1
                border.color: input.activeFocus ? Theme.gold : Theme.borderColor
            }
        }
    }

    Label {
        Layout.fillWidth: true
        text: "ترتيب الأعمدة المطلوب: " + (dialog.targetTable === "tenants" ? "الاسم، رقم الهوية، الهاتف، العنوان"
              : dialog.targetTable === "buyers" ? "الاسم، رقم الهوية، الهاتف"
              : "معرف العقار، رقم الوحدة، المساحة، السعر")
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    Label {
        Layout.fillWidth: true
        text: "ملاحظة: افصل بين كل حقل وآخر بفاصلة (,) أو انسخ الصفوف مباشرة."
        color: Theme.textMuted
        font.family: Theme.fontFamily
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    Label {
        objectName: "skippedRowsTitle"
        Layout.fillWidth: true
        visible: dialog.skippedRows.length > 0
        text: "الصفوف المتخطاة:"
        color: Theme.warningColor
        font.family: Theme.fontFamily
        font.pixelSize: 13
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }
    Repeater {
        model: dialog.skippedRows
        delegate: Label {
            required property var modelData
            required property int index
            objectName: "skippedRow" + index
            Layout.fillWidth: true
            text: "السطر " + modelData.line + ": " + modelData.reason + " — " + modelData.text
            color: Theme.textSecondary
            font.family: Theme.fontFamily
            font.pixelSize: 12
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
        }
    }

    MButton {
        objectName: "startImportButton"
        needs: "write"
        Layout.fillWidth: true
        text: "بدء الاستيراد الآن"
        onClicked: dialog.start()
    }
}
