import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// The books' settings: automatic posting and the history, the lock date, which account each
// posting uses, and the journal exported for hledger. Changes are the administrator's.
ScrollView {
    id: view

    property var accounts: []
    property bool posting: false
    property int unposted: 0
    property string lockDate: ""
    property var mapping: []
    property int done: 0
    property int total: 0
    property bool running: false

    signal changed

    function reload() {
        posting = accountModel.autoPosting()
        unposted = accountModel.unpostedCount()
        lockDate = accountModel.lockDate()
        mapping = Theme.rows(accountModel.postingMapping())
    }

    function postHistory() {
        running = true
        done = 0
        total = unposted
        var written = accountModel.postHistory()
        running = false
        postingSection.statusColor = written >= 0 ? Theme.successColor : Theme.dangerColor
        postingSection.status = written >= 0 ? "✅ رُحّل " + written + " قيداً من العمليات السابقة"
                                             : "تعذر ترحيل العمليات السابقة؛ لم يُحفظ شيء منها"
        reload()
        view.changed()
    }

    function setPosting(on) {
        if (!accountModel.setAutoPosting(on))
            return
        reload()
        postingSection.statusColor = Theme.successColor
        postingSection.status = on ? "✅ تم تشغيل الترحيل التلقائي" : "✅ تم إيقاف الترحيل التلقائي"
        if (on && unposted > 0)
            confirm.ask("ترحيل العمليات السابقة",
                        "توجد " + unposted + " عملية مسجلة لم تُرحَّل إلى القيود. سيُرحَّل كل منها مرة واحدة "
                        + "بترتيب تاريخه في عملية واحدة. لا يمكن التراجع عن ذلك إلا بقيود عكسية.",
                        "ترحيل السجل", () => view.postHistory(), false)
    }

    Connections {
        target: accountModel
        function onHistoryProgress(done, total) {
            view.done = done
            view.total = total
        }
    }

    contentWidth: availableWidth
    clip: true

    ColumnLayout {
        width: view.availableWidth
        spacing: 14

        SettingsSection {
            id: postingSection
            objectName: "postingSection"
            Layout.fillWidth: true
            title: "ترحيل العمليات إلى القيود تلقائياً"

            Label {
                objectName: "postingState"
                Layout.fillWidth: true
                text: (view.posting ? "الترحيل التلقائي مفعل: كل فاتورة ودفعة وبيع ومصروف تُسجل قيدها بنفسها."
                                    : "الترحيل التلقائي متوقف: القيود تحوي ما يُسجل يدوياً فقط.")
                      + (view.unposted > 0 ? "  عمليات لم تُرحَّل بعد: " + view.unposted : "")
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 14
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignLeft
            }
            RowLayout {
                spacing: 10
                MButton {
                    objectName: "togglePostingButton"
                    needs: "admin"
                    text: view.posting ? "إيقاف الترحيل التلقائي" : "تشغيل الترحيل التلقائي"
                    outline: view.posting
                    onClicked: view.setPosting(!view.posting)
                }
                MButton {
                    objectName: "postHistoryButton"
                    needs: "admin"
                    visible: view.posting && view.unposted > 0 && !view.running
                    text: "ترحيل العمليات السابقة (" + view.unposted + ")"
                    onClicked: confirm.ask("ترحيل العمليات السابقة",
                                           "سيُرحَّل " + view.unposted + " عملية بترتيب تاريخها في عملية واحدة.",
                                           "ترحيل السجل", () => view.postHistory(), false)
                }
            }
            ProgressBar {
                objectName: "historyProgress"
                Layout.fillWidth: true
                visible: view.running
                from: 0
                to: Math.max(1, view.total)
                value: view.done
            }
        }

        SettingsSection {
            id: lockSection
            objectName: "lockSection"
            Layout.fillWidth: true
            title: "تاريخ الإقفال"

            Label {
                objectName: "lockState"
                Layout.fillWidth: true
                text: view.lockDate === "" ? "لا يوجد تاريخ إقفال: كل الفترات مفتوحة."
                                           : "الفترة مقفلة حتى " + view.lockDate
                                             + ": لا تُسجَّل ولا تُعدَّل ولا تُلغى عملية بتاريخه أو قبله."
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 14
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignLeft
            }
            RowLayout {
                spacing: 10
                MTextField {
                    id: lockField
                    objectName: "lockDateField"
                    Layout.fillWidth: false
                    Layout.preferredWidth: 200
                    placeholderText: "YYYY-MM-DD"
                }
                MButton {
                    objectName: "saveLockDateButton"
                    needs: "admin"
                    text: "إقفال حتى هذا التاريخ"
                    onClicked: {
                        if (lockField.date === "") {
                            lockSection.statusColor = Theme.dangerColor
                            lockSection.status = "اكتب التاريخ بالصيغة YYYY-MM-DD"
                            return
                        }
                        if (accountModel.setLockDate(lockField.date)) {
                            lockSection.statusColor = Theme.successColor
                            lockSection.status = "✅ أُقفلت الفترة حتى " + lockField.date
                            view.reload()
                            view.changed()
                        }
                    }
                }
                MButton {
                    objectName: "clearLockDateButton"
                    needs: "admin"
                    outline: true
                    visible: view.lockDate !== ""
                    text: "فتح كل الفترات"
                    onClicked: confirm.ask("فتح الفترات المقفلة",
                                           "سيُسمح مجدداً بتسجيل العمليات وتعديلها بتاريخ " + view.lockDate + " وما قبله.",
                                           "فتح الفترات", () => {
                                               if (accountModel.setLockDate("")) {
                                                   lockSection.statusColor = Theme.successColor
                                                   lockSection.status = "✅ فُتحت كل الفترات"
                                                   view.reload()
                                                   view.changed()
                                               }
                                           })
                }
            }
        }

        SettingsSection {
            id: mappingSection
            objectName: "mappingSection"
            Layout.fillWidth: true
            title: "ربط الحسابات بالعمليات"

            Repeater {
                model: view.mapping
                delegate: RowLayout {
                    id: mappingRow
                    required property var modelData
                    required property int index
                    Layout.fillWidth: true
                    spacing: 10
                    Label {
                        Layout.preferredWidth: 240
                        text: mappingRow.modelData.title
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        horizontalAlignment: Text.AlignLeft
                    }
                    MComboBox {
                        objectName: "mapping" + mappingRow.index
                        Layout.fillWidth: true
                        model: view.accounts.map(a => a.code + " " + a.name_ar)
                        currentIndex: view.accounts.findIndex(a => a.code === mappingRow.modelData.code)
                        placeholder: "لا يوجد حساب مربوط"
                        enabled: authCtrl.canAdminister
                        onActivated: index => {
                            if (accountModel.setPostingAccount(mappingRow.modelData.role,
                                                               view.accounts[index].code)) {
                                mappingSection.statusColor = Theme.successColor
                                mappingSection.status = "✅ رُبط «" + mappingRow.modelData.title + "» بالحساب "
                                        + view.accounts[index].code
                            }
                            view.reload()
                        }
                    }
                }
            }
        }

        SettingsSection {
            id: exportSection
            objectName: "exportSection"
            Layout.fillWidth: true
            title: "تصدير القيود لبرنامج hledger"

            RowLayout {
                spacing: 10
                MTextField {
                    id: exportFrom
                    objectName: "exportFrom"
                    Layout.fillWidth: false
                    Layout.preferredWidth: 160
                    placeholderText: "من YYYY-MM-DD"
                }
                MTextField {
                    id: exportTo
                    objectName: "exportTo"
                    Layout.fillWidth: false
                    Layout.preferredWidth: 160
                    placeholderText: "إلى YYYY-MM-DD"
                }
                MButton {
                    objectName: "exportJournalButton"
                    needs: "write"
                    text: "تصدير"
                    onClicked: {
                        var path = accountModel.exportJournalToDocuments(exportFrom.date, exportTo.date)
                        exportSection.statusColor = path !== "" ? Theme.successColor : Theme.dangerColor
                        exportSection.status = path !== "" ? "✅ حُفظ ملف القيود: " + path
                                                           : "تعذر حفظ ملف القيود"
                    }
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }
}
