import QtQuick
import "helpers.js" as H

// A paste from a spreadsheet: the titles row is left out, quoted fields keep their commas, and
// every row left behind is listed with its reason while the dialog stays open.
PageCase {
    id: tc
    name: "Import"
    source: "TenantsPage"

    function test_headerQuotesAndBadRows() {
        var existing = String(H.at(page.tenants, 0).id_number)
        var before = H.scalar(database, "SELECT COUNT(*) as c FROM tenants")
        var dialog = H.open(tc, page, "importTenantsButton", "importDialog")
        H.find(tc, dialog, "importText").text = "الاسم,رقم الهوية,الهاتف,العنوان\n"
                + "\"Import, Quoted\",990100001,0599100001,\"Ramallah, Center\"\n"
                + ",990100002,0599100002\n"
                + "Import Duplicate," + existing + ",0599100003\n"
                + "Import Plain,990100004,0599100004"
        H.click(tc, H.find(tc, dialog, "startImportButton"))
        verify(dialog.opened, "the dialog stays open to list what was skipped")
        compare(dialog.skippedRows.length, 2)
        compare(H.find(tc, dialog, "skippedRow0").text.indexOf("السطر 3: الاسم مفقود"), 0)
        compare(H.find(tc, dialog, "skippedRow1").text.indexOf("السطر 4: رقم الهوية مسجل مسبقاً"), 0)
        verify(dialog.message.indexOf("سطر العناوين") > 0, dialog.message)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM tenants"), before + 2)
        compare(H.scalar(database, "SELECT address FROM tenants WHERE id_number=?", ["990100001"]),
                "Ramallah, Center")
        compare(H.scalar(database, "SELECT full_name FROM tenants WHERE id_number=?", ["990100001"]),
                "Import, Quoted")
    }
}
