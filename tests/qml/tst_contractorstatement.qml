import QtQuick
import "helpers.js" as H

// The contractor's statement opened from the contractors' list: what their expenses charged,
// less what they were paid, is the balance shown.
PageCase {
    id: tc
    name: "ContractorStatement"
    source: "AccountingPage"

    property int contractorId: 0

    function init() {
    }

    // The suite shares one database: the contractor made here leaves with its rows.
    function cleanup() {
        for (var sql of ["DELETE FROM contractor_payments WHERE contractor_id=?",
                         "DELETE FROM expenses WHERE contractor_id=?",
                         "DELETE FROM contractors WHERE id=?"])
            database.execNonQuery(sql, [contractorId])
    }

    function test_closingBalance_data() {
        return [
            { tag: "part paid", expense: 1500, paid: 400.25, shown: "1,099.75" },
            { tag: "paid in full", expense: 820.5, paid: 820.5, shown: "0" }
        ]
    }

    function test_closingBalance(data) {
        var name = "Statement " + data.tag
        var id = expenseModel.addContractor(name, "0599000000", "Plumbing")
        verify(id > 0)
        contractorId = id
        var property = Number(H.scalar(database, "SELECT id FROM properties LIMIT 1"))
        var today = H.isoDate(new Date())
        verify(expenseModel.add(property, 0, id, "صيانة", "", "Pipes", data.expense, today, 1,
                                "cash") > 0)
        verify(expenseModel.payContractor(id, data.paid, today, "cash", "") > 0)

        load()
        page.tab = 2
        var index = H.row(tc, page, "contractorsTableList", page.contractors, c => c.id === id)
        var dialog = H.open(tc, page, "contractorStatementButton" + index,
                            "contractorStatementDialog")
        compare(dialog.title, "كشف حساب المقاول - " + name)
        compare(H.find(tc, dialog, "statementLines").rows.length, 2)
        var card = H.find(tc, dialog, "statementBalanceCard")
        compare(H.find(tc, card, "statsValue").text.split(" ")[0], data.shown)
    }
}
