#include "invoicemodel.h"

#include "database.h"
#include "transactionguard.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

using namespace Qt::StringLiterals;

// What an invoice is issued from. A valid contract id marks a rent invoice.
struct InvoiceModel::Draft
{
    QVariant tenantId;
    QVariant unitId;
    QVariant contractId;
    QString period;
    QVariant currencyId;
    // description, type, quantity, unit_price, total: bound as they are.
    QList<QVariantList> lines;
};

// The month's prefix and the sequence the next invoice takes. A bulk run reads it once and
// advances it only for an invoice that was kept, instead of scanning the month per invoice.
struct InvoiceModel::Numbering
{
    QString prefix;
    int next = 1;

    QString number() const { return prefix + QString::number(next).rightJustified(4, u'0'); }
};

namespace {

bool isValidPeriod(const QString &period)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(u"[0-9]{4}-[0-9]{2}"_s));
    return shape.match(period).hasMatch()
        && QDate::fromString(period + u"-01"_s, u"yyyy-MM-dd"_s).isValid();
}

// A value that reads as a number but is NaN or infinite; text that is no number is not.
bool isNonFinite(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && !std::isfinite(number);
}

} // namespace

InvoiceModel::InvoiceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList InvoiceModel::getAll()
{
    return list(u"SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
                "FROM invoices i LEFT JOIN tenants t ON i.tenant_id=t.id "
                "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties p ON u.property_id=p.id "
                "ORDER BY i.created_at DESC"_s);
}

QVariantList InvoiceModel::getLatest(int limit)
{
    return list(u"SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
                "FROM invoices i LEFT JOIN tenants t ON i.tenant_id=t.id "
                "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties p ON u.property_id=p.id "
                "ORDER BY i.created_at DESC, i.id DESC LIMIT ?"_s,
        { limit });
}

QVariantMap InvoiceModel::getById(int id)
{
    return one(u"SELECT i.*, t.full_name as tenant_name FROM invoices i "
               "LEFT JOIN tenants t ON i.tenant_id=t.id WHERE i.id=?"_s,
        { id });
}

QVariantList InvoiceModel::getItems(int invoiceId)
{
    return list(u"SELECT * FROM invoice_items WHERE invoice_id=?"_s, { invoiceId });
}

QVariantList InvoiceModel::getByTenant(int tenantId)
{
    return list(
        u"SELECT * FROM invoices WHERE tenant_id=? ORDER BY created_at DESC"_s, { tenantId });
}

InvoiceModel::Numbering InvoiceModel::startNumbering()
{
    Numbering numbering;
    numbering.prefix = u"INV-"_s + QDate::currentDate().toString(u"yyyyMM"_s) + u"-"_s;
    const QVariant max = one(u"SELECT MAX(CAST(SUBSTR(invoice_number, LENGTH(?)+1) AS INTEGER)) "
                             "as mx FROM invoices WHERE invoice_number LIKE ?"_s,
        { numbering.prefix, numbering.prefix + u"%"_s })
                             .value(u"mx"_s);
    numbering.next = max.isNull() ? 1 : max.toInt() + 1;
    return numbering;
}

QString InvoiceModel::nextInvoiceNumber() { return startNumbering().number(); }

bool InvoiceModel::hasInvoiceFor(const QVariant &tenantId, const QString &period)
{
    return !list(u"SELECT id FROM invoices WHERE tenant_id=? AND period=? AND status!='void'"_s,
        { tenantId, period })
                .isEmpty();
}

int InvoiceModel::issue(const Draft &draft, Numbering *carried)
{
    double total = 0;
    for (const QVariantList &line : draft.lines) {
        if (isNonFinite(line.at(3)) || isNonFinite(line.at(4)))
            return -1;
        total += line.at(4).toDouble();
    }
    if (!isFinite(total))
        return -1;

    // Invoice, every line and the tenant's balance stand or fall together.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const QString number = carried ? carried->number() : nextInvoiceNumber();
    const QString dueDate = draft.period + u"-28"_s;
    const int id = draft.contractId.isValid()
        ? m_db->execInsert(u"INSERT INTO invoices (invoice_number,tenant_id,unit_id,contract_id,"
                           "period,total_amount,balance,status,currency_id,due_date) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?)"_s,
            { number, draft.tenantId, draft.unitId, draft.contractId, draft.period, total, total,
                u"pending"_s, draft.currencyId, dueDate })
        : m_db->execInsert(u"INSERT INTO invoices (invoice_number,tenant_id,unit_id,period,"
                           "total_amount,balance,status,currency_id,due_date) "
                           "VALUES (?,?,?,?,?,?,?,?,?)"_s,
            { number, draft.tenantId, draft.unitId, draft.period, total, total, u"pending"_s,
                draft.currencyId, dueDate });
    if (id < 1)
        return -1;
    for (const QVariantList &line : draft.lines) {
        if (m_db->execInsert(u"INSERT INTO invoice_items (invoice_id,description,type,quantity,"
                             "unit_price,total) VALUES (?,?,?,?,?,?)"_s,
                QVariantList { id } + line)
            < 1)
            return -1;
    }
    if (!m_db->execNonQuery(
            u"UPDATE tenants SET balance=balance+? WHERE id=?"_s, { total, draft.tenantId }))
        return -1;
    if (!guard.commit())
        return -1;
    if (carried)
        ++carried->next;
    return id;
}

int InvoiceModel::createInvoice(
    int tenantId, int unitId, const QString &period, const QVariantList &items, int currencyId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isValidPeriod(period) || hasInvoiceFor(tenantId, period))
        return -1;

    Draft draft { tenantId, optionalId(unitId), QVariant(), period, currencyId, {} };
    for (const QVariant &element : items) {
        const QVariantMap item = element.toMap();
        QVariant type = item.value(u"type"_s);
        if (type.toString().isEmpty())
            type = u"service"_s;
        QVariant quantity = item.value(u"quantity"_s);
        const double amount = quantity.toDouble();
        if (!(amount > 0) || !isFinite(amount))
            quantity = 1.0;
        draft.lines.append({ item.value(u"description"_s), type, quantity,
            item.value(u"unit_price"_s), item.value(u"total"_s) });
    }

    const int id = issue(draft, nullptr);
    if (id < 1)
        return -1;
    emit dataChanged();
    return id;
}

bool InvoiceModel::updatePaidAmount(int id, double amount)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(amount))
        return false;
    // A void invoice would come back to life with a balance the tenant's balance never saw.
    if (one(u"SELECT status FROM invoices WHERE id=?"_s, { id }).value(u"status"_s).toString()
        == u"void"_s)
        return false;
    return change(u"UPDATE invoices SET paid_amount=?, balance=total_amount-?, "
                  "status=CASE WHEN ?>=total_amount THEN 'paid' ELSE 'partial' END WHERE id=?"_s,
        { amount, amount, amount, id });
}

bool InvoiceModel::voidInvoice(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    const QVariantMap invoice
        = one(u"SELECT tenant_id, balance FROM invoices WHERE id=? AND status!='void'"_s, { id });
    if (invoice.isEmpty())
        return false;

    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    const double open = invoice.value(u"balance"_s).toDouble();
    const int tenantId = invoice.value(u"tenant_id"_s).toInt();
    if (!m_db->execNonQuery(u"UPDATE invoices SET status='void', balance=0 WHERE id=?"_s, { id })
        || !m_db->execNonQuery(
            u"UPDATE tenants SET balance=balance-? WHERE id=?"_s, { open, tenantId })
        || !guard.commit())
        return false;
    emit dataChanged();
    return true;
}

int InvoiceModel::generateAllRent(const QString &period)
{
    if (!permitted(Operation::DailyWork))
        return 0;
    if (!isValidPeriod(period))
        return 0;
    const QVariantList contracts = list(u"SELECT * FROM contracts WHERE status='active'"_s);
    if (contracts.isEmpty())
        return 0;

    // One transaction for the run; each invoice is a savepoint inside it, so a failed invoice
    // is undone alone and the run goes on.
    TransactionGuard run(m_db);
    if (!run.isActive())
        return 0;
    Numbering numbering = startNumbering();
    int count = 0;
    for (const QVariant &row : contracts) {
        const QVariantMap contract = row.toMap();
        const int tenantId = contract.value(u"tenant_id"_s).toInt();
        const int unitId = contract.value(u"unit_id"_s).toInt();
        const double rent = contract.value(u"rent_amount"_s).toDouble();
        // Also sees the invoices issued earlier in this run.
        if (hasInvoiceFor(tenantId, period))
            continue;

        Draft draft { tenantId, unitId, contract.value(u"id"_s), period,
            contract.value(u"currency_id"_s).toInt(), {} };
        draft.lines.append({ u"إيجار شهري"_s, u"rent"_s, 1, rent, rent });
        const QVariantList usage = list(u"SELECT ur.*, s.name FROM usage_records ur "
                                        "JOIN services s ON ur.service_id=s.id "
                                        "WHERE ur.unit_id=? AND ur.period=?"_s,
            { unitId, period });
        for (const QVariant &usageRow : usage) {
            const QVariantMap record = usageRow.toMap();
            const QVariant consumption = record.value(u"consumption"_s);
            const QVariant cost = record.value(u"cost"_s);
            // Below one unit the cost is the price of the whole reading, and 0 never divides.
            const QVariant unitPrice = consumption.toDouble() > 1
                ? QVariant(cost.toDouble() / consumption.toDouble())
                : cost;
            draft.lines.append(
                { record.value(u"name"_s), u"usage"_s, consumption, unitPrice, cost });
        }
        if (issue(draft, &numbering) > 0)
            ++count;
    }
    if (count == 0 || !run.commit())
        return 0;
    emit dataChanged();
    return count;
}

int InvoiceModel::generateServiceInvoice(const QVariantList &tenantIds, const QString &serviceName,
    double amount, const QString &period, int currencyId)
{
    if (!permitted(Operation::DailyWork))
        return 0;
    if (!isValidPeriod(period) || !isFinite(amount) || tenantIds.isEmpty())
        return 0;

    TransactionGuard run(m_db);
    if (!run.isActive())
        return 0;
    Numbering numbering = startNumbering();
    int count = 0;
    for (const QVariant &element : tenantIds) {
        const int tenantId = element.toInt();
        const int unitId = intFigure(
            u"SELECT unit_id FROM contracts WHERE tenant_id=? AND status='active' LIMIT 1"_s,
            u"unit_id"_s, { tenantId });
        Draft draft { tenantId, optionalId(unitId), QVariant(), period, currencyId, {} };
        draft.lines.append({ serviceName, u"service"_s, 1, amount, amount });
        if (issue(draft, &numbering) > 0)
            ++count;
    }
    if (count == 0 || !run.commit())
        return 0;
    emit dataChanged();
    return count;
}

int InvoiceModel::generatePropertyServiceInvoice(int propertyId, const QString &serviceName,
    double amount, const QString &period, int currencyId)
{
    if (!permitted(Operation::DailyWork))
        return 0;
    if (!isValidPeriod(period) || !isFinite(amount))
        return 0;
    QVariantList tenantIds;
    const QVariantList rows = list(u"SELECT DISTINCT c.tenant_id FROM contracts c "
                                   "JOIN units u ON c.unit_id=u.id "
                                   "WHERE u.property_id=? AND c.status='active'"_s,
        { propertyId });
    for (const QVariant &row : rows)
        tenantIds.append(row.toMap().value(u"tenant_id"_s));
    return generateServiceInvoice(tenantIds, serviceName, amount, period, currencyId);
}
