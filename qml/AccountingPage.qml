import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    property var accounts: []
    // The journal, newest first, read a screenful at a time as the table scrolls.
    property var entries: listCatalog.open("journal", page)
    property var contractors: []
    property var referenceTypes: []
    property int journalTotal: 0
    property string lockDate: ""
    property alias tab: tabs.currentIndex

    readonly property var typeNames: ({
        asset: "أصول",
        liability: "خصوم",
        revenue: "إيرادات",
        equity: "حقوق الملكية"
    })

    function reload() {
        accounts = Theme.rows(accountModel.getAll())
        referenceTypes = Theme.rows(accountModel.referenceTypes())
        lockDate = accountModel.lockDate()
        if (tabs.currentIndex === 1)
            loadJournal()
        entries.reload()
        contractors = Theme.rows(expenseModel.getContractors())
        if (tabs.currentIndex === 3)
            trialView.reload()
        if (tabs.currentIndex === 5)
            settingsView.reload()
    }

    // The journal filtered in SQL by the typed text, dates, account and reference type; the
    // count beside it leaves the typed text out.
    function withAll(first, labels) {
        var all = [first]
        for (var i = 0; i < labels.length; ++i)
            all.push(labels[i])
        return all
    }
    function journalAccount() {
        return entryAccountBox.currentIndex > 0 ? Number(accounts[entryAccountBox.currentIndex - 1].id) : 0
    }
    function journalType() {
        return entryTypeBox.currentIndex > 0 ? referenceTypes[entryTypeBox.currentIndex - 1].type : ""
    }
    function loadJournal() {
        var from = inputConverter.date(journalFilter.fromText())
        var to = inputConverter.date(journalFilter.toText())
        journalCountCall.run([from, to, journalAccount(), journalType()])
        var narrowing = {}
        if (journalAccount() > 0)
            narrowing.account = journalAccount()
        if (journalType() !== "")
            narrowing.type = journalType()
        entries.filters = narrowing
        entries.search = journalFilter.searchText()
        entries.from = journalFilter.fromText()
        entries.to = journalFilter.toText()
    }

    // Counting millions of entries takes a while: the count comes from the second connection.
    BackgroundCall {
        id: journalCountCall
        object: "accounts"
        method: "countJournal"
        onReady: result => page.journalTotal = Number(result) || 0
    }

    // Balances are debit minus credit: liabilities, equity and revenue normally stand below
    // zero. Only a balance on the other side of its account's normal one is a warning.
    function unusualBalance(row) {
        var cents = Math.round(Number(row.balance) * 100)
        var creditNormal = ["liability", "equity", "revenue"].indexOf(row.type) >= 0
        return creditNormal ? cents > 0 : cents < 0
    }

    // "name:debit:credit" items joined by "," become a readable line.
    function linesText(lines) {
        var parts = Theme.text(lines).split(",")
        var readable = new Array(0)
        for (var i = 0; i < parts.length; ++i) {
            var f = parts[i].split(":")
            if (f.length < 3)
                continue
            var debit = Number(f[f.length - 2]) || 0
            var credit = Number(f[f.length - 1]) || 0
            var name = f.slice(0, f.length - 2).join(":")
            readable.push(name + (debit > 0 ? " مدين " + Theme.number(debit) : " دائن " + Theme.number(credit)))
        }
        return readable.join("  •  ")
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a page reads its lists only once it is shown, so a
    // large portfolio does not load every list up front.
    Component.onCompleted: {
        entries.active = visible && tabs.currentIndex === 1
        if (visible)
            reload()
    }
    onVisibleChanged: {
        entries.active = visible && tabs.currentIndex === 1
        if (visible)
            reload()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "المحاسبة"
            subtitle: "نظام القيد المزدوج - دليل الحسابات وقيود اليومية"
                      + (page.lockDate !== "" ? "  •  الفترة مقفلة حتى " + page.lockDate : "")

            MButton {
                objectName: "addJournalButton"
                needs: "write"
                text: "تسجيل قيد يدوي"
                onClicked: journalDialog.open()
            }
        }

        FilterChips {
            id: tabs
            objectName: "accountingTab"
            model: ["دليل الحسابات", "قيود اليومية", "المقاولون والموردون", "ميزان المراجعة",
                "دفتر الأستاذ", "إعدادات القيود"]
            onCurrentIndexChanged: {
                page.entries.active = page.visible && currentIndex === 1
                if (currentIndex === 1)
                    page.loadJournal()
                if (currentIndex === 3)
                    trialView.reload()
                if (currentIndex === 5)
                    settingsView.reload()
            }
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabs.currentIndex

            DataTable {
                objectName: "accountsTable"
                rows: page.accounts
                emptyText: "لا توجد حسابات"
                actionsWidth: 70
                actions: [
                    { text: "✎", name: "renameAccountButton", needs: "admin", outline: true,
                      run: r => renameDialog.openFor(r) }
                ]
                columns: [
                    { title: "الرمز", w: 1, value: r => r.code, bold: true },
                    { title: "اسم الحساب", w: 3, value: r => r.name_ar,
                      color: () => Theme.textPrimary },
                    { title: "النوع", w: 2, value: r => page.typeNames[r.type] || "مصروفات" },
                    { title: "الرصيد", w: 2, value: r => Theme.money(r.balance),
                      color: r => page.unusualBalance(r) ? Theme.dangerColor : Theme.gold }
                ]
            }

            ColumnLayout {
                spacing: 12
                ListFilter {
                    id: journalFilter
                    objectName: "journalFilter"
                    Layout.fillWidth: true
                    onChanged: page.loadJournal()
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    MComboBox {
                        id: entryAccountBox
                        objectName: "journalAccount"
                        Layout.preferredWidth: 260
                        model: page.withAll("كل الحسابات", page.accounts.map(a => a.code + " " + a.name_ar))
                        currentIndex: 0
                        onActivated: page.loadJournal()
                    }
                    MComboBox {
                        id: entryTypeBox
                        objectName: "journalType"
                        Layout.preferredWidth: 200
                        model: page.withAll("كل العمليات", page.referenceTypes.map(t => t.title))
                        currentIndex: 0
                        onActivated: page.loadJournal()
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                    Label {
                        objectName: "journalCount"
                        text: "المعروض " + page.entries.count + " من "
                              + (journalCountCall.loading ? "…" : page.journalTotal)
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                    }
                }
                DataTable {
                    objectName: "entriesTable"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    rows: page.entries
                    emptyText: "لا توجد قيود بعد"
                    actionsWidth: 70
                    actions: [
                        { text: "فتح", name: "openEntryButton", needs: "", outline: true,
                          run: r => entryDialog.openFor(Number(r.id)) }
                    ]
                    columns: [
                        { title: "التاريخ", w: 2, value: r => r.entry_date },
                        { title: "البيان", w: 4, value: r => r.description,
                          color: () => Theme.textPrimary },
                        { title: "نوع المرجع", w: 2, value: r => r.reference_title || r.reference_type },
                        { title: "البنود", w: 5, value: r => page.linesText(r.lines) }
                    ]
                }
            }

            ColumnLayout {
                spacing: 12
                RowLayout {
                    Layout.fillWidth: true
                    Label {
                        Layout.fillWidth: true
                        text: "تتبع المقاولين والموردين حسب بنود العمل"
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        horizontalAlignment: Text.AlignLeft
                    }
                    MButton {
                        objectName: "addContractorButton"
                        needs: "write"
                        text: "+ إضافة مورد"
                        onClicked: contractorDialog.openFor(null)
                    }
                }
                DataTable {
                    objectName: "contractorsTable"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    rows: page.contractors
                    emptyText: "لا يوجد مقاولون أو موردون"
                    actionsWidth: 210
                    actions: [
                        { text: "كشف", name: "contractorStatementButton", needs: "", outline: true,
                          run: r => statementDialog.openFor(r) },
                        { text: "دفعة", name: "payContractorButton", needs: "write",
                          show: r => Math.round(Number(r.balance) * 100) > 0,
                          run: r => paymentDialog.openFor(r) },
                        { text: "✎", name: "editContractorButton", needs: "write", outline: true,
                          run: r => contractorDialog.openFor(r) }
                    ]
                    columns: [
                        { title: "الاسم", w: 3, value: r => r.name, bold: true },
                        { title: "الهاتف", w: 2, value: r => r.phone },
                        { title: "التخصص", w: 2, value: r => r.trade },
                        { title: "الرصيد المستحق", w: 2, value: r => Theme.money(r.balance),
                          color: () => Theme.gold }
                    ]
                }
            }

            TrialBalanceView {
                id: trialView
                objectName: "trialView"
            }

            LedgerView {
                id: ledgerView
                objectName: "ledgerView"
                accounts: page.accounts
                onOpenEntry: entryId => entryDialog.openFor(entryId)
            }

            BooksSettingsView {
                id: settingsView
                objectName: "booksSettingsView"
                accounts: page.accounts
                onChanged: page.reload()
            }
        }
    }

    EntryDialog {
        id: entryDialog
        objectName: "entryDialog"
    }

    JournalEntryDialog {
        id: journalDialog
        objectName: "journalDialog"
        accounts: page.accounts
        onPosted: page.reload()
    }

    MDialog {
        id: renameDialog
        objectName: "renameAccountDialog"
        property var account: null
        title: "تعديل اسم الحساب " + (account ? Theme.text(account.code) : "")
        dialogWidth: 440

        function openFor(row) {
            account = row
            accountNameField.text = Theme.text(row.name_ar)
            open()
        }

        MTextField {
            id: accountNameField
            objectName: "accountNameField"
            Layout.fillWidth: true
            label: "اسم الحساب"
        }
        MButton {
            objectName: "saveAccountNameButton"
            needs: "admin"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: {
                if (accountNameField.text.trim() === "") {
                    renameDialog.message = "أدخل اسم الحساب"
                    return
                }
                if (accountModel.rename(Number(renameDialog.account.id), accountNameField.text)) {
                    page.accounts = Theme.rows(accountModel.getAll())
                    renameDialog.close()
                } else {
                    renameDialog.message = "تعذر حفظ اسم الحساب"
                }
            }
        }
    }

    ContractorPaymentDialog {
        id: paymentDialog
        objectName: "contractorPaymentDialog"
        onPaid: page.contractors = Theme.rows(expenseModel.getContractors())
    }

    ContractorStatementDialog {
        id: statementDialog
        objectName: "contractorStatementDialog"
    }

    ContractorDialog {
        id: contractorDialog
        objectName: "contractorDialog"
        onAdded: page.contractors = Theme.rows(expenseModel.getContractors())
    }
}
