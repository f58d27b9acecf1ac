import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// An expense, new or corrected: the property, unit and contractor are optional, the contractor's
// balance follows the amount.
MDialog {
    id: dialog

    // The expense being corrected, or null for a new one.
    property var expense: null
    // Chosen when the dialog opens from a property; 0 for none.
    property int presetPropertyId: 0
    property var currencies: []
    property var properties: []
    property var units: []
    readonly property var categories: ["صيانة", "كهرباء", "مياه", "تنظيف", "إدارية", "ضرائب ورسوم",
        "تأمين", "أخرى"]
    readonly property var methods: ["cash", "bank", "cheque"]

    signal saved

    // A "none" entry first, then the rows, each with its display text.
    function withNone(rows, none, text) {
        var list = [{ id: 0, display: none }]
        for (var i = 0; i < rows.length; ++i) {
            rows[i].display = text(rows[i])
            list.push(rows[i])
        }
        return list
    }

    function indexOfId(list, id) {
        for (var i = 0; i < list.length; ++i) {
            if (Number(list[i].id) === Number(id))
                return i
        }
        return 0
    }

    function loadUnits(unitId) {
        var property = properties[propertyBox.currentIndex]
        var rows = property && Number(property.id) > 0 ? Theme.rows(unitModel.getByProperty(Number(property.id)))
                                                       : []
        units = withNone(rows, "بدون وحدة", r => Theme.text(r.unit_number))
        unitBox.currentIndex = indexOfId(units, unitId)
    }

    function openFor(row, propertyId) {
        expense = row
        presetPropertyId = propertyId || 0
        open()
    }

    function save() {
        var amount = amountField.amount
        if (isNaN(amount) || amount <= 0) {
            message = "أدخل مبلغاً صحيحاً أكبر من صفر"
            return
        }
        if (dateField.date === "") {
            message = dateField.dateMessage("أدخل التاريخ بالصيغة YYYY-MM-DD")
            return
        }
        var category = categoryBox.currentIndex >= 0 ? categories[categoryBox.currentIndex] : ""
        if (category === "") {
            message = "اختر فئة المصروف"
            return
        }
        var currency = currencies[currencyBox.currentIndex]
        var currencyId = currency ? Number(currency.id) : 1
        var propertyId = Number((properties[propertyBox.currentIndex] || { id: 0 }).id)
        var unitId = Number((units[unitBox.currentIndex] || { id: 0 }).id)
        var contractorId = contractorBox.selectedId
        var method = methods[Math.max(0, methodChips.currentIndex)]
        var ok = expense
                ? expenseModel.update(Number(expense.id), propertyId, unitId, contractorId, category,
                                      Theme.text(expense.work_category), descField.text, amount,
                                      dateField.date, currencyId, method)
                : expenseModel.add(propertyId, unitId, contractorId, category, "", descField.text,
                                   amount, dateField.date, currencyId, method) > 0
        if (ok) {
            saved()
            close()
        } else {
            message = "تعذر حفظ المصروف"
        }
    }

    title: expense ? "تعديل مصروف" : "تسجيل مصروف"
    dialogWidth: 560

    onAboutToShow: {
        var row = expense
        currencies = Theme.rows(currencyModel.getAll())
        properties = withNone(Theme.rows(propertyModel.getAll()), "بدون عقار (مصروف عام)",
                              r => Theme.text(r.name))
        dateField.text = row ? Theme.text(row.expense_date) : Theme.today()
        amountField.text = row ? Theme.text(row.amount) : ""
        descField.text = row ? Theme.text(row.description) : ""
        categoryBox.currentIndex = row ? categories.indexOf(row.category) : -1
        currencyBox.currentIndex = Math.max(0, row ? indexOfId(currencies, row.currency_id) : 0)
        propertyBox.currentIndex = indexOfId(properties, row ? row.property_id : presetPropertyId)
        loadUnits(row ? row.unit_id : 0)
        var contractor = row && Number(row.contractor_id) > 0
                ? database.getById("contractors", Number(row.contractor_id)) : null
        contractorBox.clear()
        if (contractor && contractor.id)
            contractorBox.choose({ id: contractor.id, title: Theme.text(contractor.name) })
        methodChips.currentIndex = row ? Math.max(0, methods.indexOf(row.payment_method)) : 0
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MTextField {
            id: dateField
            objectName: "expenseDateField"
            Layout.fillWidth: true
            label: "التاريخ"
            placeholderText: "YYYY-MM-DD"
        }
        MTextField {
            id: amountField
            objectName: "expenseAmountField"
            Layout.fillWidth: true
            label: "المبلغ"
            placeholderText: "0.00"
        }
        MComboBox {
            id: currencyBox
            objectName: "expenseCurrencyBox"
            Layout.fillWidth: false
            Layout.preferredWidth: 110
            label: "العملة"
            model: dialog.currencies
            textRole: "code"
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MComboBox {
            id: categoryBox
            objectName: "expenseCategoryBox"
            Layout.fillWidth: true
            label: "الفئة"
            placeholder: "اختر الفئة..."
            model: dialog.categories
        }
        SearchPicker {
            id: contractorBox
            objectName: "expenseContractorBox"
            Layout.fillWidth: true
            kind: "contractor"
            label: "المقاول / المورد (اختياري)"
            placeholder: "ابحث بالاسم أو المهنة أو الهاتف..."
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        MComboBox {
            id: propertyBox
            objectName: "expensePropertyBox"
            Layout.fillWidth: true
            label: "العقار (اختياري)"
            model: dialog.properties
            textRole: "display"
            onActivated: dialog.loadUnits(0)
        }
        MComboBox {
            id: unitBox
            objectName: "expenseUnitBox"
            Layout.fillWidth: true
            label: "الوحدة (اختياري)"
            model: dialog.units
            textRole: "display"
        }
    }
    Label {
        Layout.fillWidth: true
        text: "طريقة الدفع"
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }
    FilterChips {
        id: methodChips
        objectName: "expenseMethod"
        model: ["نقداً", "تحويل بنكي", "شيك"]
    }
    MTextField {
        id: descField
        objectName: "expenseDescField"
        Layout.fillWidth: true
        label: "الوصف"
    }
    MButton {
        objectName: "saveExpenseButton"
        needs: "write"
        Layout.fillWidth: true
        text: "حفظ المصروف"
        onClicked: dialog.save()
    }
}
