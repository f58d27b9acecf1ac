import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var currencies: []
    property string lastBackupError: ""
    // What offers the native folder and file choosers; replaceable so the flows run without a
    // desktop.
    property var chooser: backupManager

    // Rates are kept towards the currency with id 1, so neither it nor the primary gets a row.
    function reload() {
        var all = Theme.rows(currencyModel.getAll())
        var list = []
        for (var i = 0; i < all.length; ++i) {
            if (all[i].code === settingsManager.primaryCurrency || Number(all[i].id) === 1)
                continue
            var c = all[i]
            c.rate = Number(settingsManager.getExchangeRate(Number(c.id), 1)).toFixed(4)
            list.push(c)
        }
        currencies = list
        companyName.text = settingsManager.companyName
        companyPhone.text = settingsManager.companyPhone
        companyAddress.text = settingsManager.companyAddress
        companyEmail.text = settingsManager.companyEmail
    }

    function choosePrimary(currency) {
        confirm.ask("تغيير العملة الأساسية", "ستصبح " + Theme.text(currency.name_ar) + " ("
                    + Theme.text(currency.code) + ") العملة الأساسية، وتُحسب الإجماليات بها من الآن. "
                    + "راجع أسعار صرف العملات الأخرى بعد التغيير.", "تغيير",
                    page.setPrimary.bind(page, currency), false)
    }

    function setPrimary(currency) {
        settingsManager.setPrimaryCurrency(Theme.text(currency.code))
        var done = settingsManager.primaryCurrency === currency.code
        ratesSection.statusColor = done ? Theme.successColor : Theme.dangerColor
        ratesSection.status = done ? "أصبحت العملة الأساسية " + Theme.text(currency.name_ar)
                                   : "تعذر تغيير العملة الأساسية"
        reload()
    }

    function updateRate(currency, text) {
        var rate = inputConverter.amount(text)
        if (isNaN(rate) || rate <= 0) {
            ratesSection.statusColor = Theme.dangerColor
            ratesSection.status = "أدخل سعر صرف صحيحاً أكبر من صفر"
            return
        }
        if (currencyModel.setRate(Number(currency.id), 1, rate)) {
            ratesSection.statusColor = Theme.successColor
            ratesSection.status = "تم تحديث سعر صرف " + Theme.text(currency.name_ar)
        } else {
            ratesSection.statusColor = Theme.dangerColor
            ratesSection.status = "تعذر تحديث سعر الصرف"
        }
    }

    function saveCompany() {
        settingsManager.updateCompanyProfile(companyName.text, companyPhone.text,
                                             companyAddress.text, companyEmail.text)
        // The profile has no result of its own: read it back.
        var saved = settingsManager.companyName === companyName.text
                    && settingsManager.companyPhone === companyPhone.text
                    && settingsManager.companyAddress === companyAddress.text
                    && settingsManager.companyEmail === companyEmail.text
        companySection.statusColor = saved ? Theme.successColor : Theme.dangerColor
        companySection.status = saved ? "تم حفظ بيانات الشركة" : "تعذر حفظ بيانات الشركة"
    }

    function exportCsv() {
        if (backupManager.exportAllToCSV()) {
            dataSection.statusColor = Theme.successColor
            dataSection.status = "تم التصدير بنجاح إلى المجلد: " + backupManager.lastExportFolder()
        } else {
            dataSection.statusColor = Theme.dangerColor
            dataSection.status = "تعذر تصدير البيانات"
        }
    }

    function changeFolder() {
        var path = chooser.browseBackupPath()
        if (path && path !== "")
            backupManager.backupPath = path
    }

    function createBackup() {
        lastBackupError = ""
        var ok = backupManager.createBackup()
        backupSection.statusColor = ok ? Theme.successColor : Theme.dangerColor
        backupSection.status = ok ? "✅ تم إنشاء النسخة بنجاح"
                                  : "❌ " + (lastBackupError !== "" ? lastBackupError : "فشل في إنشاء النسخة")
    }

    function restoreBackup() {
        var file = chooser.browseRestoreFile()
        if (!file || file === "")
            return
        // The data in use is saved as an ordinary backup first, so a mistaken restore is undone
        // from the backups list.
        confirm.ask("استعادة نسخة احتياطية", "ستحل بيانات النسخة «" + file
                    + "» محل جميع البيانات الحالية. تُحفظ البيانات الحالية أولاً نسخةً احتياطية في «"
                    + Theme.text(backupManager.backupPath) + "» ويمكن استعادتها من قائمة النسخ.",
                    "استعادة", page.installBackup.bind(page, file))
    }

    function installBackup(file) {
        lastBackupError = ""
        if (backupManager.restoreBackup(file)) {
            var safety = backupManager.lastSafetyBackup
            backupSection.statusColor = Theme.gold
            backupSection.status = "✅ تم استعادة النسخة بنجاح، والبيانات المستعادة قيد الاستخدام الآن. يُنصح بإعادة تشغيل البرنامج."
                    + (safety ? " حُفظت البيانات السابقة في النسخة " + safety.substring(safety.lastIndexOf("/") + 1) : "")
            reload()
        } else {
            backupSection.statusColor = Theme.dangerColor
            backupSection.status = "❌ " + (lastBackupError !== "" ? lastBackupError : "فشل في استعادة النسخة")
        }
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a page reads its lists only once it is shown, so a
    // large portfolio does not load every list up front.
    Component.onCompleted: if (visible)
        reload()
    onVisibleChanged: if (visible)
        reload()

    Connections {
        target: backupManager
        function onBackupError(error) {
            page.lastBackupError = error
        }
    }

    ScrollView {
        id: scroll
        objectName: "settingsScroll"
        anchors.fill: parent
        anchors.margins: 24
        contentWidth: availableWidth
        clip: true

        ColumnLayout {
            width: scroll.availableWidth
            spacing: 16

            PageHeader {
                Layout.fillWidth: true
                title: "الإعدادات"
                subtitle: "إعدادات النظام والعملات والنسخ الاحتياطي"
            }

            SettingsSection {
                id: ratesSection
                objectName: "ratesSection"
                Layout.fillWidth: true
                title: "💱 العملات وأسعار الصرف"

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    Label {
                        Layout.fillWidth: true
                        text: "العملة الأساسية: " + settingsManager.primaryCurrency
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        horizontalAlignment: Text.AlignLeft
                    }
                    MComboBox {
                        id: primaryBox
                        objectName: "primaryCurrencyBox"
                        visible: authCtrl.currentRole === "admin"
                        Layout.preferredWidth: 200
                        placeholder: "اختر العملة..."
                        model: Theme.rows(currencyModel.getAll())
                        textRole: "name_ar"
                    }
                    MButton {
                        objectName: "setPrimaryCurrencyButton"
                        needs: "admin"
                        visible: primaryBox.visible
                        enabled: primaryBox.currentIndex >= 0
                        text: "تعيين كعملة أساسية"
                        outline: true
                        onClicked: page.choosePrimary(primaryBox.model[primaryBox.currentIndex])
                    }
                }
                Repeater {
                    model: page.currencies
                    delegate: RowLayout {
                        id: rateRow
                        required property var modelData
                        required property int index
                        Layout.fillWidth: true
                        spacing: 10
                        Label {
                            Layout.preferredWidth: 180
                            text: Theme.text(rateRow.modelData.name_ar) + " (" + Theme.text(rateRow.modelData.symbol) + ")"
                            color: Theme.textPrimary
                            font.family: Theme.fontFamily
                            font.pixelSize: 14
                            elide: Text.ElideRight
                            horizontalAlignment: Text.AlignLeft
                        }
                        Label {
                            text: "سعر الصرف:"
                            color: Theme.textSecondary
                            font.family: Theme.fontFamily
                            font.pixelSize: 13
                        }
                        MTextField {
                            id: rateField
                            objectName: "rateField" + rateRow.index
                            Layout.fillWidth: false
                            Layout.preferredWidth: 160
                            text: rateRow.modelData.rate
                        }
                        MButton {
                            objectName: "updateRateButton" + rateRow.index
                            needs: "admin"
                            text: "تحديث"
                            outline: true
                            onClicked: page.updateRate(rateRow.modelData, rateField.text)
                        }
                        Item {
                            Layout.fillWidth: true
                        }
                    }
                }
            }

            SettingsSection {
                id: companySection
                objectName: "companySection"
                Layout.fillWidth: true
                title: "🏢 بيانات الشركة (للمستندات)"

                GridLayout {
                    Layout.fillWidth: true
                    columns: 2
                    columnSpacing: 12
                    rowSpacing: 10
                    MTextField {
                        id: companyName
                        objectName: "companyNameField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "اسم الشركة"
                    }
                    MTextField {
                        id: companyPhone
                        objectName: "companyPhoneField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "رقم الهاتف"
                    }
                    MTextField {
                        id: companyAddress
                        objectName: "companyAddressField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "العنوان"
                    }
                    MTextField {
                        id: companyEmail
                        objectName: "companyEmailField"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: "البريد الإلكتروني"
                    }
                }
                MButton {
                    objectName: "saveCompanyButton"
                    needs: "admin"
                    text: "حفظ بيانات الشركة"
                    onClicked: page.saveCompany()
                }
            }

            SettingsSection {
                id: billingSection
                objectName: "billingSection"
                Layout.fillWidth: true
                title: "🧾 الفوترة"

                CheckBox {
                    id: prorateBox
                    objectName: "prorateRentBox"
                    Layout.fillWidth: true
                    checked: settingsManager.prorateRent
                    text: "احتساب إيجار الشهر الأول والأخير من العقد بحسب الأيام المشمولة"
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    onToggled: {
                        if (!settingsManager.setProrateRent(checked)) {
                            billingSection.statusColor = Theme.dangerColor
                            billingSection.status = "تعذر حفظ الإعداد"
                        }
                        checked = Qt.binding(() => settingsManager.prorateRent)
                    }
                    contentItem: Label {
                        leftPadding: prorateBox.mirrored ? 0 : prorateBox.indicator.width + prorateBox.spacing
                        rightPadding: prorateBox.mirrored ? prorateBox.indicator.width + prorateBox.spacing : 0
                        text: prorateBox.text
                        font: prorateBox.font
                        color: Theme.textPrimary
                        wrapMode: Text.WordWrap
                        horizontalAlignment: Text.AlignLeft
                        verticalAlignment: Text.AlignVCenter
                    }
                }
                Label {
                    Layout.fillWidth: true
                    text: "عند الإيقاف يُفوتر كل شهر يغطيه العقد بالإيجار الكامل."
                    color: Theme.textMuted
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                    horizontalAlignment: Text.AlignLeft
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 12
                    MTextField {
                        id: bounceFeeField
                        objectName: "bounceFeeField"
                        Layout.fillWidth: true
                        label: "رسوم الشيك المرتجع (تُحمَّل على الساحب، 0 لا رسوم)"
                        text: Theme.number(settingsManager.bounceFee)
                    }
                    MButton {
                        objectName: "saveBounceFeeButton"
                        needs: "write"
                        Layout.alignment: Qt.AlignBottom
                        text: "حفظ الرسوم"
                        onClicked: {
                            var fee = bounceFeeField.amount
                            if (isNaN(fee) || fee < 0 || !settingsManager.setBounceFee(fee)) {
                                billingSection.statusColor = Theme.dangerColor
                                billingSection.status = "أدخل مبلغاً صحيحاً للرسوم"
                            } else {
                                billingSection.statusColor = Theme.successColor
                                billingSection.status = "حُفظت رسوم الشيك المرتجع"
                            }
                        }
                    }
                }
            }

            SettingsSection {
                id: lateFeeSection
                objectName: "lateFeeSection"
                Layout.fillWidth: true
                title: "⏱ رسوم التأخير"

                readonly property var policy: settingsManager.lateFeePolicy || ({})

                Component.onCompleted: {
                    lateFeeBox.checked = policy.enabled === true
                    graceField.text = String(policy.grace_days || 0)
                    feeModeBox.currentIndex = policy.mode === "percent" ? 1 : 0
                    feeValueField.text = Number(policy.value) > 0 ? String(policy.value) : ""
                }

                CheckBox {
                    id: lateFeeBox
                    objectName: "lateFeeEnabledBox"
                    Layout.fillWidth: true
                    text: "تفعيل رسوم التأخير (تُطبق من صفحة الفواتير، مرة واحدة لكل فاتورة أو قسط)"
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    contentItem: Label {
                        leftPadding: lateFeeBox.mirrored ? 0 : lateFeeBox.indicator.width + lateFeeBox.spacing
                        rightPadding: lateFeeBox.mirrored ? lateFeeBox.indicator.width + lateFeeBox.spacing : 0
                        text: lateFeeBox.text
                        font: lateFeeBox.font
                        color: Theme.textPrimary
                        wrapMode: Text.WordWrap
                        horizontalAlignment: Text.AlignLeft
                        verticalAlignment: Text.AlignVCenter
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    MTextField {
                        id: graceField
                        objectName: "lateFeeGraceField"
                        Layout.fillWidth: true
                        label: "أيام السماح بعد الاستحقاق"
                    }
                    MComboBox {
                        id: feeModeBox
                        objectName: "lateFeeModeBox"
                        Layout.fillWidth: true
                        label: "طريقة الاحتساب"
                        model: ["مبلغ ثابت بالعملة الأساسية", "نسبة من المبلغ المتأخر"]
                    }
                    MTextField {
                        id: feeValueField
                        objectName: "lateFeeValueField"
                        Layout.fillWidth: true
                        label: feeModeBox.currentIndex === 1 ? "النسبة %" : "المبلغ"
                    }
                }
                MButton {
                    objectName: "saveLateFeeButton"
                    needs: "write"
                    text: "حفظ سياسة رسوم التأخير"
                    outline: true
                    onClicked: {
                        var grace = Number(inputConverter.amount(graceField.text))
                        var value = feeValueField.amount
                        if (isNaN(grace) || grace < 0 || grace > 365 || Math.floor(grace) !== grace) {
                            lateFeeSection.statusColor = Theme.dangerColor
                            lateFeeSection.status = "أدخل عدد أيام سماح صحيحاً من 0 إلى 365"
                            return
                        }
                        if (isNaN(value) || value <= 0 || (feeModeBox.currentIndex === 1 && value > 100)) {
                            lateFeeSection.statusColor = Theme.dangerColor
                            lateFeeSection.status = feeModeBox.currentIndex === 1 ? "أدخل نسبة أكبر من صفر ولا تتجاوز 100"
                                                                                  : "أدخل مبلغاً أكبر من صفر"
                            return
                        }
                        var done = settingsManager.setLateFeePolicy(lateFeeBox.checked, grace,
                                                                    feeModeBox.currentIndex === 1 ? "percent" : "fixed", value)
                        lateFeeSection.statusColor = done ? Theme.successColor : Theme.dangerColor
                        lateFeeSection.status = done ? "تم حفظ سياسة رسوم التأخير" : "تعذر حفظ سياسة رسوم التأخير"
                    }
                }
            }

            ServerSettingsView { Layout.fillWidth: true }

            SettingsSection {
                id: dataSection
                objectName: "dataSection"
                Layout.fillWidth: true
                title: "إدارة البيانات"

                MButton {
                    objectName: "exportCsvButton"
                    needs: "write"
                    text: "تصدير البيانات إلى Excel (CSV)"
                    iconSymbol: "📥"
                    outline: true
                    onClicked: page.exportCsv()
                }
            }

            SettingsSection {
                id: backupSection
                objectName: "backupSection"
                Layout.fillWidth: true
                title: "💾 النسخ الاحتياطي"

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    Label {
                        text: "مسار النسخ:"
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                    }
                    Label {
                        objectName: "backupPathLabel"
                        Layout.fillWidth: true
                        text: backupManager.backupPath
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        elide: Text.ElideMiddle
                        horizontalAlignment: Text.AlignLeft
                    }
                    MButton {
                        objectName: "changeBackupPathButton"
                        needs: "admin"
                        text: "تغيير"
                        outline: true
                        onClicked: page.changeFolder()
                    }
                }
                RowLayout {
                    spacing: 10
                    MButton {
                        objectName: "createBackupButton"
                        needs: "write"
                        text: "إنشاء نسخة الآن"
                        onClicked: page.createBackup()
                    }
                    MButton {
                        objectName: "restoreBackupButton"
                        needs: "admin"
                        text: "استعادة نسخة"
                        outline: true
                        onClicked: page.restoreBackup()
                    }
                }
            }
            DataTransferView { Layout.fillWidth: true; chooser: page.chooser }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }
}
