import QtQuick
import "helpers.js" as H

// Every kind of record is corrected from its row: the dialog opens with what is stored, the
// change reaches the database, and no second record appears.
PageCase {
    id: tc
    name: "Edits"

    function init() {
    }

    function test_editFromTheRow_data() {
        return [
            { tag: "property", page: "PropertiesPage", list: "properties", table: "properties",
              button: "editPropertyButton", dialog: "addPropertyDialog", save: "savePropertyButton",
              field: "propertyNameField", column: "name", stored: "Edited Tower", typed: "Edited Tower" },
            { tag: "tenant", page: "TenantsPage", list: "tenants", table: "tenants",
              button: "editTenantButton", dialog: "addTenantDialog", save: "saveTenantButton",
              field: "tenantPhoneField", column: "phone", stored: "0599000111", typed: "0599000111" },
            { tag: "buyer", page: "BuyersPage", list: "buyers", table: "buyers",
              button: "editBuyerButton", dialog: "addBuyerDialog", save: "saveBuyerButton",
              field: "buyerNameField", column: "full_name", stored: "Edited Buyer", typed: "Edited Buyer" },
            { tag: "pending cheque, amount in Arabic digits", page: "ChequesPage", list: "cheques",
              table: "cheques", pick: r => r.status === "pending", button: "editChequeButton",
              dialog: "newChequeDialog", save: "saveNewChequeButton", field: "newChequeAmountField",
              column: "amount", stored: 2500, pasted: "٢٬٥٠٠" },
            { tag: "maintenance request", page: "MaintenancePage", list: "requests",
              table: "maintenance_requests", button: "editMaintenanceButton",
              dialog: "maintenanceRequestDialog", save: "saveMaintenanceButton",
              field: "maintenanceTitleField", column: "title", stored: "Roof leak", typed: "Roof leak" },
            { tag: "expense, amount with separators", page: "MaintenancePage", section: 1,
              list: "expenses", table: "expenses", button: "editExpenseButton",
              dialog: "expenseDialog", save: "saveExpenseButton", field: "expenseAmountField",
              column: "amount", stored: 1234.5, typed: "1,234.5" },
            { tag: "contractor", page: "AccountingPage", tab: 2, list: "contractors",
              table: "contractors", button: "editContractorButton", dialog: "contractorDialog",
              save: "saveContractorButton", field: "contractorNameField", column: "name",
              stored: "Renamed Works", typed: "Renamed Works" },
            { tag: "account name", page: "AccountingPage", tab: 0, list: "accounts",
              table: "accounts", button: "renameAccountButton", dialog: "renameAccountDialog",
              save: "saveAccountNameButton", field: "accountNameField", column: "name_ar",
              stored: "Main Cash Box", typed: "Main Cash Box" }
        ]
    }

    function test_editFromTheRow(data) {
        source = data.page
        load()
        if (data.tab !== undefined)
            page.tab = data.tab
        if (data.section !== undefined) {
            page.section = data.section
            page.reload()
        }
        var rows = page[data.list]
        var index = data.pick ? H.indexWhere(rows, data.pick) : 0
        verify(index >= 0, "no row to edit")
        var id = H.at(rows, index).id
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM " + data.table)
        var listName = data.list === "properties" ? "propertyGrid" : null
        if (listName)
            H.find(tc, page, listName).positionViewAtIndex(index, 0)
        var dialog = H.open(tc, page, data.button + index, data.dialog)
        var field = H.find(tc, dialog, data.field)
        verify(field.text !== "", "the dialog shows what is stored")
        if (data.pasted !== undefined)
            H.paste(tc, field, data.pasted)
        else
            H.type(tc, field, data.typed)
        H.click(tc, H.find(tc, dialog, data.save))
        H.waitClosed(tc, dialog)
        compare(H.scalar(database, "SELECT " + data.column + " FROM " + data.table + " WHERE id=?", [id]),
                data.stored)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM " + data.table), count)
    }
}
