import QtQuick
import QtTest
import "helpers.js" as H

Item {
    id: root
    width: 1280
    height: 800
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    TestCase {
        id: tc
        name: "SettingsPage"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/SettingsPage.qml"
            }
        }

        // Stands in for the native choosers.
        QtObject {
            id: chooser
            property string folder: ""
            property string file: ""
            function browseBackupPath() {
                return chooser.folder
            }
            function browseRestoreFile() {
                return chooser.file
            }
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
            page.chooser = chooser
        }

        function today() {
            return H.isoDate(new Date())
        }

        function status(name) {
            return H.find(tc, page, name + "Status").text
        }

        function test_primaryCurrencyHasNoRateRow() {
            verify(page.currencies.length > 0)
            compare(H.indexWhere(page.currencies, c => c.code === settingsManager.primaryCurrency), -1)
        }

        function test_changeARate_data() {
            return [
                { tag: "valid", text: "3.75", stored: 3.75,
                  message: "تم تحديث سعر صرف " },
                { tag: "not a number", text: "abc", stored: undefined,
                  message: "أدخل سعر صرف صحيحاً أكبر من صفر" },
                { tag: "zero", text: "0", stored: undefined,
                  message: "أدخل سعر صرف صحيحاً أكبر من صفر" }
            ]
        }

        function test_changeARate(data) {
            var currency = page.currencies[0]
            verify(database.execNonQuery("DELETE FROM exchange_rates WHERE from_currency_id=? AND date=?",
                                         [currency.id, today()]))
            H.type(tc, H.find(tc, page, "rateField0"), data.text)
            H.click(tc, H.find(tc, page, "updateRateButton0"))
            compare(status("ratesSection").indexOf(data.message), 0)
            var stored = H.scalar(database,
                "SELECT rate FROM exchange_rates WHERE from_currency_id=? AND to_currency_id=1 AND date=?",
                [currency.id, today()])
            compare(stored === undefined ? undefined : Number(stored), data.stored)
            if (data.stored !== undefined)
                compare(settingsManager.getExchangeRate(currency.id, 1), data.stored)
        }

        function test_changeCompanyProfile() {
            H.type(tc, H.find(tc, page, "companyNameField"), "Belvardino Estates")
            H.type(tc, H.find(tc, page, "companyPhoneField"), "022987654")
            H.type(tc, H.find(tc, page, "companyAddressField"), "Ramallah, Al-Irsal St")
            H.type(tc, H.find(tc, page, "companyEmailField"), "office@belvardino.ps")
            H.click(tc, H.find(tc, page, "saveCompanyButton"))
            compare(status("companySection"), "تم حفظ بيانات الشركة")
            compare(settingsManager.companyName, "Belvardino Estates")
            compare(settingsManager.companyPhone, "022987654")
            compare(settingsManager.companyAddress, "Ramallah, Al-Irsal St")
            compare(settingsManager.companyEmail, "office@belvardino.ps")
        }

        function test_backupExportAndRestore() {
            var folder = backupManager.backupPath
            // A new folder through the chooser; an empty choice changes nothing.
            chooser.folder = ""
            H.click(tc, H.find(tc, page, "changeBackupPathButton"))
            compare(backupManager.backupPath, folder)
            chooser.folder = folder + "/pages-test"
            H.click(tc, H.find(tc, page, "changeBackupPathButton"))
            compare(backupManager.backupPath, folder + "/pages-test")
            compare(H.find(tc, page, "backupPathLabel").text, folder + "/pages-test")

            var before = backupManager.listBackups().length
            H.click(tc, H.find(tc, page, "createBackupButton"))
            compare(status("backupSection"), "✅ تم إنشاء النسخة بنجاح")
            compare(backupManager.listBackups().length, before + 1)
            var backup = backupManager.listBackups()[0]

            var opened = uiTest.openedCount()
            H.click(tc, H.find(tc, page, "exportCsvButton"))
            compare(status("dataSection"), "تم التصدير بنجاح إلى المجلد الرئيسي")
            compare(uiTest.openedCount(), opened + 1)
            var exportFolder = uiTest.lastOpened()
            verify(exportFolder.indexOf("Belvardino_Export_") > 0, exportFolder)
            verify(uiTest.fileExists(exportFolder + "/tenants.csv"))

            wait(50) // the new status line moves the buttons below it
            // A row written after the backup is gone once the backup is restored: the restored
            // data is what the program now uses.
            var tenant = tenantModel.add("After Backup", "880000099", "", "", "")
            verify(tenant > 0)
            chooser.file = backup
            H.click(tc, H.find(tc, page, "restoreBackupButton"))
            compare(status("backupSection"),
                    "✅ تم استعادة النسخة بنجاح، والبيانات المستعادة قيد الاستخدام الآن. يُنصح بإعادة تشغيل البرنامج.")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants WHERE id_number=?", ["880000099"]), 0)

            // A file that is not a backup is refused and said so; the data stays.
            var tenants = H.scalar(database, "SELECT COUNT(*) as c FROM tenants")
            chooser.file = exportFolder.replace("file://", "") + "/tenants.csv"
            H.click(tc, H.find(tc, page, "restoreBackupButton"))
            compare(status("backupSection"), "❌ الملف المختار ليس نسخة احتياطية صالحة، ولم تتغير البيانات")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants"), tenants)

            // Cancelling the chooser does nothing.
            chooser.file = ""
            H.click(tc, H.find(tc, page, "restoreBackupButton"))
            compare(status("backupSection"), "❌ الملف المختار ليس نسخة احتياطية صالحة، ولم تتغير البيانات")

            backupManager.backupPath = folder
        }
    }
}
