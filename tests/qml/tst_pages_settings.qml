import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "SettingsPage"
    source: "SettingsPage"

    // Stands in for the native choosers.
    QtObject {
        id: chooser
        property string file: ""
        function browseRestoreFile() {
            return chooser.file
        }
    }

    function init() {
        load()
        page.chooser = chooser
    }

    function status(name) {
        return H.find(tc, page, name + "Status").text
    }

    function test_changeARate_data() {
        var refused = "أدخل سعر صرف صحيحاً أكبر من صفر"
        return [
            { tag: "valid", text: "3.75", stored: 3.75, message: "تم تحديث سعر صرف " },
            { tag: "not a number", text: "abc", stored: undefined, message: refused },
            { tag: "zero", text: "0", stored: undefined, message: refused }
        ]
    }

    function test_changeARate(data) {
        var currency = page.currencies[0]
        verify(currency.code !== settingsManager.primaryCurrency)
        var today = H.isoDate(new Date())
        verify(database.execNonQuery("DELETE FROM exchange_rates WHERE from_currency_id=? AND date=?",
                                     [currency.id, today]))
        H.type(tc, H.find(tc, page, "rateField0"), data.text)
        H.click(tc, H.find(tc, page, "updateRateButton0"))
        compare(status("ratesSection").indexOf(data.message), 0)
        var stored = H.scalar(database,
            "SELECT rate FROM exchange_rates WHERE from_currency_id=? AND to_currency_id=1 AND date=?",
            [currency.id, today])
        compare(stored === undefined ? undefined : Number(stored), data.stored)
    }

    function test_backupExportAndRestore() {
        waitForRendering(page)
        H.click(tc, H.find(tc, page, "createBackupButton"))
        compare(status("backupSection"), "✅ تم إنشاء النسخة بنجاح")
        var backup = backupManager.listBackups()[0]

        H.click(tc, H.find(tc, page, "exportCsvButton"))
        var exportFolder = uiTest.lastOpened()
        // The status line names the folder the files went to.
        compare(status("dataSection"), "تم التصدير بنجاح إلى المجلد: "
                + String(exportFolder).replace("file://", ""))
        verify(uiTest.fileExists(exportFolder + "/expenses.csv"), exportFolder)
        verify(uiTest.fileExists(exportFolder + "/journal_lines.csv"), exportFolder)
        verify(uiTest.fileExists(exportFolder + "/tenants.csv"), exportFolder)

        wait(50) // the new status line moves the buttons below it
        // Restored data is what the program uses from then on.
        verify(tenantModel.add("After Backup", "880000099", "", "", "") > 0)
        chooser.file = backup
        H.click(tc, H.find(tc, page, "restoreBackupButton"))
        H.answer(tc, page, true)
        // The message names the backup that now holds the data replaced.
        var safety = backupManager.lastSafetyBackup
        verify(safety !== "" && safety !== backup)
        verify(status("backupSection").endsWith(safety.substring(safety.lastIndexOf("/") + 1)),
               status("backupSection"))
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants WHERE id_number=?", ["880000099"]), 0)

        var tenants = H.scalar(database, "SELECT COUNT(*) as c FROM tenants")
        var refused = "❌ الملف المختار ليس نسخة احتياطية صالحة، ولم تتغير البيانات"
        var notBackups = [exportFolder.replace("file://", "") + "/tenants.csv", ""]
        for (var i = 0; i < notBackups.length; ++i) {
            chooser.file = notBackups[i]
            H.click(tc, H.find(tc, page, "restoreBackupButton"))
            if (notBackups[i] !== "")
                H.answer(tc, page, true)
            compare(status("backupSection"), refused)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants"), tenants)
        }
    }

    // A move to a server that cannot be reached is confirmed first, changes nothing and says why.
    function test_moveToAnUnreachableServer() {
        var section = H.find(tc, page, "dataTransferSection")
        H.paste(tc, H.find(tc, section, "transferHostField"), "/nonexistent-socket-folder")
        H.paste(tc, H.find(tc, section, "transferDatabaseField"), "belvardino")
        H.paste(tc, H.find(tc, section, "transferUserField"), "office")
        var tenants = H.scalar(database, "SELECT COUNT(*) as c FROM tenants")
        H.click(tc, H.find(tc, section, "moveToServerButton"))
        var dialog = H.find(tc, section, "transferConfirm")
        H.waitOpen(tc, dialog)
        H.click(tc, H.find(tc, dialog, "confirmButton"))
        H.waitClosed(tc, dialog)
        verify(status("dataTransferSection").indexOf("❌ تعذر الاتصال بقاعدة الخادم") === 0,
               status("dataTransferSection"))
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants"), tenants)
    }
}
