import QtQuick
import "helpers.js" as H

// The tenant picker among 2,000 tenants: found by part of an ID number or a name, a screenful
// at a time, quickly.
PageCase {
    id: tc
    name: "Picker"
    source: "PaymentsPage"

    function initTestCase() {
        verify(database.execNonQuery(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            + "INSERT INTO tenants (full_name, id_number, phone) "
            + "SELECT 'Picker Tenant ' || i, 'PK' || (100000 + i), '0597' || (100000 + i) FROM n"))
    }

    function cleanupTestCase() {
        verify(database.execNonQuery("DELETE FROM tenants WHERE id_number LIKE 'PK%'"))
    }

    function picker() {
        var dialog = H.open(tc, page, "addPaymentButton", "paymentDialog")
        return H.find(tc, dialog, "paymentTenantPicker")
    }

    function test_findAmongTwoThousand_data() {
        return [
            { tag: "part of an ID number", text: "K101999", count: 1, title: "Picker Tenant 1999" },
            { tag: "ID number in Arabic-Indic digits", text: "١٠١٩٩٩", count: 1, title: "Picker Tenant 1999" },
            { tag: "part of a phone", text: "0597101998", count: 1, title: "Picker Tenant 1998" },
            { tag: "a common name: one screenful", text: "Picker Tenant", count: 30, title: "Picker Tenant 1" }
        ]
    }

    function test_findAmongTwoThousand(data) {
        var p = picker()
        if (/^[\x00-\x7f]*$/.test(data.text)) {
            H.type(tc, p.field, data.text)
        } else {
            H.paste(tc, p.field, data.text)
            p.field.textEdited()
        }
        tryVerify(() => !p.searching && p.popup.opened && p.results.length > 0, 2000)
        compare(p.results.length, data.count)
        compare(p.results[0].title, data.title)
        verify(String(p.results[0].detail).indexOf("PK") === 0, "the ID number tells equal names apart")
    }

    function test_nextScreenfulOnScroll() {
        var p = picker()
        H.type(tc, p.field, "Picker Tenant")
        tryVerify(() => !p.searching && p.results.length === 30, 2000)
        var list = H.find(tc, p.popup.contentItem, "paymentTenantPickerList")
        list.positionViewAtEnd()
        tryVerify(() => p.results.length === 60, 2000)
        var ids = {}
        for (var i = 0; i < p.results.length; ++i)
            ids[p.results[i].id] = true
        compare(Object.keys(ids).length, 60)
    }

    function test_searchIsQuick() {
        var started = Date.now()
        for (var i = 0; i < 10; ++i)
            verify(recordSearch.find("tenant", "19" + i, 0, 30).length > 0)
        var each = (Date.now() - started) / 10
        verify(each < 100, "a search took " + each + " ms")
    }
}
