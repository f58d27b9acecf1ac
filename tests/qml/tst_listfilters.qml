import QtQuick
import "helpers.js" as H

// Lists narrow to what is typed and to a date range; clearing the search brings every row back.
PageCase {
    id: tc
    name: "ListFilters"

    function init() {
    }

    // Key clicks carry only Latin text offscreen; Arabic is pasted.
    function enter(field, text) {
        if (/^[\x00-\x7f]*$/.test(text))
            H.type(tc, field, text)
        else
            H.paste(tc, field, text)
    }

    function test_searchAndDates_data() {
        return [
            { tag: "cheques by number", page: "ChequesPage", list: "cheques", filter: "chequeListFilter",
              text: r => String(r.cheque_number), keys: r => [r.cheque_number, r.bank_name, r.payer_name, r.payee_name],
              date: r => r.due_date },
            { tag: "buyers by ID number", page: "BuyersPage", list: "buyers", filter: "buyerListFilter",
              text: r => String(r.id_number), keys: r => [r.full_name, r.id_number, r.phone] },
            { tag: "maintenance by title", page: "MaintenancePage", list: "requests",
              filter: "maintenanceListFilter", text: r => String(r.title),
              keys: r => [r.title, r.property_name, r.unit_number, r.description], date: r => r.request_date },
            { tag: "journal by description", page: "AccountingPage", tab: 1, list: "entries",
              filter: "journalFilter", text: r => String(r.description),
              keys: r => [r.description, r.reference_type, r.lines], date: r => r.entry_date },
            { tag: "invoices by number", page: "InvoicesPage", list: "invoices", filter: "invoiceListFilter",
              text: r => String(r.invoice_number).slice(-6),
              keys: r => [r.invoice_number, r.tenant_name, r.property_name, r.unit_number],
              date: r => r.created_at },
            { tag: "payments by payer", page: "PaymentsPage", list: "payments", filter: "paymentListFilter",
              text: r => String(r.tenant_name),
              keys: r => [r.tenant_name, r.invoice_number, r.reference, r.unit_number],
              date: r => r.payment_date }
        ]
    }

    function test_searchAndDates(data) {
        source = data.page
        load()
        if (data.tab !== undefined)
            page.tab = data.tab
        var all = H.count(page[data.list])
        verify(all > 1, "enough rows to filter")
        var sample = H.at(page[data.list], all - 1)
        var text = data.text(sample)
        var filter = H.find(tc, page, data.filter)
        enter(H.find(tc, filter, data.filter + "Search"), text.substring(0, Math.min(text.length, 8)))
        var rows = page[data.list]
        verify(H.count(rows) >= 1 && H.count(rows) <= all)
        verify(H.indexWhere(rows, r => r.id === sample.id) >= 0, "the row searched for stays")
        for (var i = 0; i < H.count(rows); ++i) {
            var keys = data.keys(H.at(rows, i)).map(k => String(k === undefined || k === null ? "" : k).toLowerCase())
            verify(keys.some(k => k.indexOf(text.substring(0, 8).toLowerCase()) >= 0), JSON.stringify(H.at(rows, i)))
        }
        H.type(tc, H.find(tc, filter, data.filter + "Search"), "")
        compare(H.count(page[data.list]), all)
        if (!data.date)
            return
        var day = String(data.date(sample)).substring(0, 10)
        H.type(tc, H.find(tc, filter, data.filter + "From"), day)
        H.type(tc, H.find(tc, filter, data.filter + "To"), day)
        rows = page[data.list]
        verify(H.indexWhere(rows, r => r.id === sample.id) >= 0)
        for (var j = 0; j < H.count(rows); ++j)
            compare(String(data.date(H.at(rows, j))).substring(0, 10), day)
    }
}
