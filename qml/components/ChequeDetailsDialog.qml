import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// One cheque: what it pays, every status it reached, and what can still be done with it: link it
// to a lease, invoices or an installment, hand it back, cancel it, or record its replacement.
MDialog {
    id: dialog

    property var cheque: ({})
    property var events: []
    // What the chosen person owes, for linking: leases, open invoices or open installments.
    property var targets: []
    property var chosenInvoices: []
    readonly property var linkKinds: ["lease", "invoices", "installment"]
    readonly property bool received: cheque.type === "received"
    readonly property bool linkable: received && (cheque.status === "pending" || cheque.status === "deposited")
    readonly property bool replaceable: received && cheque.status === "bounced"
                                        && Theme.text(cheque.replaced_by) === ""

    signal changed

    function openFor(row) {
        cheque = row
        events = Theme.rows(chequeModel.history(Number(row.id)))
        linkChips.currentIndex = 0
        personPicker.choose(null)
        targets = []
        chosenInvoices = []
        replaceNumber.text = ""
        replaceAmount.text = Theme.text(row.amount)
        replaceBank.text = Theme.text(row.bank_name)
        replaceDue.text = Theme.today()
        open()
    }

    function refresh() {
        var listed = chequeModel.getListed(Number(cheque.id))
        if (listed && listed.id)
            cheque = listed
        events = Theme.rows(chequeModel.history(Number(cheque.id)))
        changed()
    }

    function loadTargets() {
        chosenInvoices = []
        var person = personPicker.selectedId
        if (person < 1) {
            targets = []
            return
        }
        var kind = linkKinds[linkChips.currentIndex]
        var rows
        if (kind === "lease")
            rows = database.execQuery("SELECT c.id, u.unit_number || ' - ' || c.start_date || ' ← ' || c.end_date as title FROM contracts c JOIN units u ON u.id=c.unit_id WHERE c.tenant_id=? AND c.status='active' ORDER BY c.start_date", [person])
        else if (kind === "invoices")
            rows = database.execQuery("SELECT id, invoice_number || '  ' || COALESCE(period,'') || '  المتبقي ' || printf('%.2f', balance) as title FROM invoices WHERE tenant_id=? AND status NOT IN ('paid','void') AND balance>0.004 ORDER BY COALESCE(due_date, period), id", [person])
        else
            rows = database.execQuery("SELECT i.id, u.unit_number || '  ' || i.due_date || '  ' || printf('%.2f', i.installment_amount - i.paid_amount) as title FROM installments i JOIN units u ON u.id=i.unit_id WHERE i.buyer_id=? AND i.status!='paid' ORDER BY i.due_date", [person])
        targets = Theme.rows(rows)
    }

    function toggleInvoice(id, on) {
        var next = chosenInvoices.filter(x => x !== id)
        if (on)
            next.push(id)
        chosenInvoices = next
    }

    function saveLink() {
        var kind = linkKinds[linkChips.currentIndex]
        var id = Number(cheque.id)
        var done
        if (kind === "invoices") {
            if (chosenInvoices.length === 0) {
                message = "اختر فاتورة واحدة على الأقل"
                return
            }
            done = chequeModel.linkInvoices(id, chosenInvoices)
        } else {
            var target = targets[targetBox.currentIndex]
            if (!target) {
                message = kind === "lease" ? "اختر العقد" : "اختر القسط"
                return
            }
            done = kind === "lease" ? chequeModel.linkLease(id, Number(target.id))
                                    : chequeModel.linkInstallment(id, Number(target.id))
        }
        if (done)
            refresh()
        else
            message = chequeModel.lastRefusal
    }

    function move(status) {
        var id = Number(cheque.id)
        if (status === "returned" ? chequeModel.returnToDrawer(id) : chequeModel.cancel(id))
            refresh()
        else
            message = chequeModel.lastRefusal
    }

    function saveReplacement() {
        var amount = replaceAmount.amount
        if (replaceNumber.text.trim() === "" || isNaN(amount) || amount <= 0) {
            message = "أدخل رقم الشيك البديل ومبلغاً صحيحاً"
            return
        }
        if (replaceDue.date === "") {
            message = replaceDue.dateMessage("أدخل تاريخ الاستحقاق بالصيغة YYYY-MM-DD")
            return
        }
        if (chequeModel.replace(Number(cheque.id), replaceNumber.text, amount, replaceBank.text,
                                replaceDue.date) > 0)
            refresh()
        else
            message = chequeModel.lastRefusal
    }

    function ltr(text) {
        return "\u2066" + text + "\u2069"
    }

    title: "الشيك رقم " + Theme.text(cheque.cheque_number)
    dialogWidth: 640

    Label {
        objectName: "chequeSummary"
        Layout.fillWidth: true
        text: (dialog.received ? "⬇ شيك وارد من " + (Theme.text(dialog.cheque.payer_name) || Theme.text(dialog.cheque.party_name))
                               : "⬆ شيك صادر إلى " + Theme.text(dialog.cheque.payee_name))
              + " بمبلغ " + dialog.ltr(Theme.number(dialog.cheque.amount) + " " + Theme.text(dialog.cheque.currency_symbol))
              + "، يستحق في " + Theme.text(dialog.cheque.due_date) + " على " + (Theme.text(dialog.cheque.bank_name) || "بنك غير محدد")
        color: Theme.textPrimary
        font.family: Theme.fontFamily
        font.pixelSize: 14
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }
    Label {
        Layout.fillWidth: true
        visible: text !== ""
        text: [Theme.text(dialog.cheque.linked_invoices) !== "" ? "يدفع الفواتير: " + dialog.cheque.linked_invoices : "",
               Theme.text(dialog.cheque.lease_unit) !== "" ? "يدفع إيجار الوحدة " + dialog.cheque.lease_unit : "",
               Theme.text(dialog.cheque.installment_due) !== "" ? "يدفع قسط " + dialog.ltr(dialog.cheque.installment_due) : "",
               Theme.text(dialog.cheque.replaces_number) !== "" ? "بديل الشيك المرتجع " + dialog.cheque.replaces_number : "",
               Theme.text(dialog.cheque.replaced_by) !== "" ? "استُبدل بالشيك " + dialog.cheque.replaced_by : ""]
              .filter(t => t !== "").join(" · ")
        color: Theme.gold
        font.family: Theme.fontFamily
        font.pixelSize: 13
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignLeft
    }

    Label {
        Layout.fillWidth: true
        Layout.topMargin: 6
        text: "سجل الحالات"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        font.bold: true
        horizontalAlignment: Text.AlignLeft
    }
    Repeater {
        objectName: "chequeHistory"
        model: dialog.events
        delegate: RowLayout {
            required property var modelData
            Layout.fillWidth: true
            spacing: 12
            Label {
                Layout.preferredWidth: 90
                text: Theme.text(modelData.event_date)
                color: Theme.textSecondary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            Tag {
                text: Theme.text(modelData.label)
                tagColor: modelData.status === "bounced" ? Theme.dangerColor
                        : modelData.status === "paid" ? Theme.successColor : Theme.gold
            }
            Label {
                Layout.fillWidth: true
                text: [Theme.text(modelData.note), Theme.text(modelData.operator) !== "" ? "بواسطة " + modelData.operator : ""]
                      .filter(t => t !== "").join(" · ")
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 13
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }
        }
    }

    RowLayout {
        Layout.fillWidth: true
        Layout.topMargin: 6
        spacing: 12
        visible: returnButton.visible || cancelButton.visible
        MButton {
            id: returnButton
            objectName: "returnChequeButton"
            needs: "write"
            visible: chequeModel.canMove(Theme.text(dialog.cheque.type), Theme.text(dialog.cheque.status), "returned")
            text: "↩ إعادة الشيك للساحب"
            outline: true
            onClicked: confirm.ask("إعادة الشيك", "سيُعاد الشيك رقم " + Theme.text(dialog.cheque.cheque_number)
                                   + " بمبلغ " + dialog.ltr(Theme.number(dialog.cheque.amount)) + " إلى "
                                   + (Theme.text(dialog.cheque.payer_name) || Theme.text(dialog.cheque.party_name))
                                   + " ولا يُودع.", "↩ إعادة", dialog.move.bind(dialog, "returned"))
        }
        MButton {
            id: cancelButton
            objectName: "cancelChequeButton"
            needs: "write"
            visible: chequeModel.canMove(Theme.text(dialog.cheque.type), Theme.text(dialog.cheque.status), "cancelled")
            text: "✕ إلغاء الشيك"
            outline: true
            btnColor: Theme.dangerColor
            onClicked: confirm.ask("إلغاء الشيك", "سيُلغى الشيك رقم " + Theme.text(dialog.cheque.cheque_number)
                                   + " بمبلغ " + dialog.ltr(Theme.number(dialog.cheque.amount)) + " إلى "
                                   + Theme.text(dialog.cheque.payee_name) + ".", "✕ إلغاء",
                                   dialog.move.bind(dialog, "cancelled"))
        }
    }

    SettingsSection {
        objectName: "chequeLinkSection"
        Layout.fillWidth: true
        Layout.topMargin: 6
        visible: dialog.linkable
        title: "ربط الشيك بما يدفعه"

        FilterChips {
            id: linkChips
            objectName: "chequeLinkKind"
            model: ["إيجار عقد", "فواتير", "قسط"]
            onSelected: {
                personPicker.choose(null)
                dialog.targets = []
            }
        }
        SearchPicker {
            id: personPicker
            objectName: "chequeLinkPerson"
            Layout.fillWidth: true
            kind: linkChips.currentIndex === 2 ? "buyer" : "tenant"
            label: linkChips.currentIndex === 2 ? "المشتري" : "المستأجر"
            onPicked: dialog.loadTargets()
        }
        MComboBox {
            id: targetBox
            objectName: "chequeLinkTarget"
            Layout.fillWidth: true
            visible: linkChips.currentIndex !== 1 && personPicker.selectedId > 0
            label: linkChips.currentIndex === 0 ? "العقد" : "القسط"
            placeholder: dialog.targets.length === 0 ? "لا يوجد ما يُربط" : "اختر..."
            model: dialog.targets
            textRole: "title"
        }
        Repeater {
            model: linkChips.currentIndex === 1 ? dialog.targets : []
            delegate: CheckBox {
                required property var modelData
                required property int index
                objectName: "chequeLinkInvoice" + index
                Layout.fillWidth: true
                text: Theme.text(modelData.title)
                font.family: Theme.fontFamily
                onToggled: dialog.toggleInvoice(Number(modelData.id), checked)
            }
        }
        MButton {
            objectName: "saveChequeLinkButton"
            needs: "write"
            Layout.fillWidth: true
            enabled: personPicker.selectedId > 0
            text: "ربط الشيك"
            onClicked: dialog.saveLink()
        }
    }

    SettingsSection {
        objectName: "chequeReplaceSection"
        Layout.fillWidth: true
        Layout.topMargin: 6
        visible: dialog.replaceable
        title: "شيك بديل عن المرتجع"

        RowLayout {
            Layout.fillWidth: true
            spacing: 12
            MTextField {
                id: replaceNumber
                objectName: "replaceNumberField"
                Layout.fillWidth: true
                label: "رقم الشيك البديل"
            }
            MTextField {
                id: replaceBank
                objectName: "replaceBankField"
                Layout.fillWidth: true
                label: "البنك"
            }
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 12
            MTextField {
                id: replaceAmount
                objectName: "replaceAmountField"
                Layout.fillWidth: true
                label: "المبلغ"
            }
            MTextField {
                id: replaceDue
                objectName: "replaceDueField"
                Layout.fillWidth: true
                label: "تاريخ الاستحقاق (YYYY-MM-DD)"
            }
        }
        MButton {
            objectName: "saveReplacementButton"
            needs: "write"
            Layout.fillWidth: true
            text: "تسجيل الشيك البديل"
            onClicked: dialog.saveReplacement()
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }
}
