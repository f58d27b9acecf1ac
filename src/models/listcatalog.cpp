#include "listcatalog.h"

#include "accountmodel.h"
#include "chequemodel.h"
#include "database.h"
#include "modelbase.h"
#include "pagedlistmodel.h"
#include "paymentmodel.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

ListCatalog::ListCatalog(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
    // So that QML can take the lists that open() returns.
    qRegisterMetaType<PagedListModel *>();
}

void ListCatalog::watch(ModelBase *model, const QStringList &lists)
{
    for (const QString &name : lists)
        m_watched[name].append(model);
}

PagedListModel *ListCatalog::open(const QString &name, QObject *owner)
{
    const ListQuery definition = query(name);
    if (definition.select.isEmpty())
        return nullptr;
    auto *list = new PagedListModel(m_db, definition, owner);
    for (ModelBase *model : m_watched.value(name))
        connect(model, &ModelBase::dataChanged, list, &PagedListModel::reload);
    // Other operators' writes on a shared server, by the tables the list reads.
    static const QRegularExpression tableWord(
        u"\\b(?:FROM|JOIN)\\s+(\\w+)"_s, QRegularExpression::CaseInsensitiveOption);
    QStringList tables;
    for (const QRegularExpressionMatch &match : tableWord.globalMatch(definition.select))
        tables << match.captured(1).toLower();
    connect(m_db, &Database::changedElsewhere, list, [list, tables](const QStringList &changed) {
        for (const QString &table : changed) {
            if (table == u"*"_s || tables.contains(table)) {
                list->reload();
                return;
            }
        }
    });
    return list;
}

ListQuery ListCatalog::query(const QString &name)
{
    ListQuery q;
    if (name == u"tenants"_s) {
        q.select = u"SELECT t.*, (SELECT COUNT(*) FROM contracts WHERE tenant_id=t.id AND "
                   "status='active') as active_contracts FROM tenants t"_s;
        q.searched = { u"full_name"_s, u"phone"_s, u"id_number"_s };
        q.sorts = { { u"name"_s, u"full_name"_s } };
        q.sort = u"name"_s;
    } else if (name == u"buyers"_s) {
        q.select = u"SELECT b.*, (SELECT COUNT(*) FROM installments WHERE buyer_id=b.id) as "
                   "installment_count FROM buyers b"_s;
        q.searched = { u"full_name"_s, u"id_number"_s, u"phone"_s };
        q.sorts = { { u"name"_s, u"full_name"_s } };
        q.sort = u"name"_s;
    } else if (name == u"maintenance"_s) {
        q.select = u"SELECT m.*, u.unit_number, p.name as property_name FROM "
                   "maintenance_requests m JOIN units u ON m.unit_id=u.id JOIN properties p ON "
                   "u.property_id=p.id"_s;
        q.searched = { u"title"_s, u"property_name"_s, u"unit_number"_s, u"description"_s };
        q.date = u"request_date"_s;
        q.sorts = { { u"created"_s, u"created_at"_s } };
        q.sort = u"created"_s;
        q.descending = true;
        q.filters = { { u"status"_s, u"status = ?"_s } };
    } else if (name == u"expenses"_s) {
        q.select = u"SELECT e.*, p.name as property_name, u.unit_number, c.name as "
                   "contractor_name FROM expenses e LEFT JOIN properties p ON e.property_id=p.id "
                   "LEFT JOIN units u ON e.unit_id=u.id LEFT JOIN contractors c ON "
                   "e.contractor_id=c.id"_s;
        q.searched = { u"category"_s, u"description"_s, u"property_name"_s, u"unit_number"_s,
            u"contractor_name"_s };
        q.date = u"expense_date"_s;
        q.sorts = { { u"date"_s, u"expense_date"_s }, { u"amount"_s, u"amount"_s } };
        q.sort = u"date"_s;
        q.descending = true;
        q.filters = { { u"property"_s, u"property_id = ?"_s },
            { u"contractor"_s, u"contractor_id = ?"_s } };
    } else if (name == u"installments"_s) {
        q.select = u"SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as "
                   "property_name FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units "
                   "u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id"_s;
        q.searched = { u"buyer_name"_s, u"unit_number"_s, u"property_name"_s, u"cheque_number"_s };
        q.date = u"due_date"_s;
        q.sorts = { { u"due"_s, u"due_date"_s } };
        q.sort = u"due"_s;
        q.filters = { { u"status"_s, u"status = ?"_s }, { u"buyer"_s, u"buyer_id = ?"_s },
            { u"unpaidBefore"_s, u"status != 'paid' AND due_date < ?"_s } };
    } else if (name == u"units"_s) {
        // Properties first, through their name's index, so that only each property's units
        // are sorted by number: SQLite would otherwise join every unit and sort them all.
        q.select = u"SELECT u.*, p.name as property_name FROM properties p CROSS JOIN units u "
                   "WHERE u.property_id=p.id"_s;
        q.searched = { u"property_name"_s, u"unit_number"_s };
        q.sorts = { { u"place"_s, u"property_name"_s } };
        q.thenBy = { { u"place"_s, u"unit_number"_s } };
        q.sort = u"place"_s;
        q.filters = { { u"status"_s, u"status = ?"_s } };
    } else if (name == u"invoices"_s) {
        q.select = u"SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as "
                   "property_name FROM invoices i LEFT JOIN tenants t ON i.tenant_id=t.id LEFT "
                   "JOIN units u ON i.unit_id=u.id LEFT JOIN properties p ON u.property_id=p.id"_s;
        q.searched
            = { u"invoice_number"_s, u"tenant_name"_s, u"property_name"_s, u"unit_number"_s };
        q.date = u"created_at"_s;
        q.sorts = { { u"created"_s, u"created_at"_s } };
        q.sort = u"created"_s;
        q.descending = true;
        q.filters = { { u"status"_s, u"status = ?"_s }, { u"tenant"_s, u"tenant_id = ?"_s } };
    } else if (name == u"payments"_s) {
        q.select = PaymentModel::listedRows();
        q.searched = { u"tenant_name"_s, u"invoice_number"_s, u"reference"_s, u"unit_number"_s };
        q.date = u"payment_date"_s;
        q.sorts = { { u"date"_s, u"payment_date"_s } };
        q.sort = u"date"_s;
        q.descending = true;
        q.filters = { { u"tenant"_s, u"tenant_id = ?"_s } };
    } else if (name == u"cheques"_s) {
        q.select = ChequeModel::listedRows();
        q.searched = { u"cheque_number"_s, u"bank_name"_s, u"payer_name"_s, u"payee_name"_s };
        q.date = u"due_date"_s;
        q.sorts = { { u"due"_s, u"due_date"_s } };
        q.sort = u"due"_s;
        q.descending = true;
        q.filters = { { u"status"_s, u"status = ?"_s }, { u"type"_s, u"type = ?"_s },
            { u"pendingAfter"_s, u"status = 'pending' AND due_date > ?"_s } };
    } else if (name == u"journal"_s) {
        q.select = AccountModel::journalRows();
        q.searched = { u"description"_s, u"reference_title"_s, u"lines"_s };
        q.date = u"entry_date"_s;
        q.sorts = { { u"date"_s, u"entry_date"_s } };
        q.sort = u"date"_s;
        q.descending = true;
        q.filters = { { u"account"_s,
                          u"id IN (SELECT entry_id FROM journal_lines WHERE account_id = ?)"_s },
            { u"type"_s, u"reference_type = ?"_s } };
    }
    return q;
}
