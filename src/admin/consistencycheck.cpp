#include "consistencycheck.h"

#include "database.h"
#include "money.h"

#include <QHash>
#include <QMap>

using namespace Qt::StringLiterals;

namespace {

QString amount(qint64 cents) { return QString::number(Money::fromCents(cents), 'f', 2); }

} // namespace

ConsistencyCheck::ConsistencyCheck(Database *db)
    : m_db(db)
{
}

QStringList ConsistencyCheck::run()
{
    m_findings.clear();
    checkIntegrity();
    checkForeignKeys();
    checkTenantBalances();
    checkInvoiceTotals();
    checkInvoiceNumbers();
    checkInstallmentSchedules();
    checkJournal();
    return m_findings;
}

void ConsistencyCheck::checkIntegrity()
{
    // A server keeps its own pages and refuses a row whose parent is missing.
    if (m_db->isServer())
        return;
    const QVariantList rows = m_db->execQuery(u"PRAGMA integrity_check"_s);
    if (rows.isEmpty()) {
        m_findings << u"integrity: the check could not run"_s;
        return;
    }
    for (const QVariant &row : rows) {
        const QString message = row.toMap().value(u"integrity_check"_s).toString();
        if (message != u"ok"_s)
            m_findings << u"integrity: "_s + message;
    }
}

void ConsistencyCheck::checkForeignKeys()
{
    if (m_db->isServer())
        return;
    const QVariantList rows = m_db->execQuery(u"PRAGMA foreign_key_check"_s);
    for (const QVariant &element : rows) {
        const QVariantMap row = element.toMap();
        m_findings << u"foreign key: %1 row %2 refers to a missing %3 row"_s.arg(
            row.value(u"table"_s).toString(), row.value(u"rowid"_s).toString(),
            row.value(u"parent"_s).toString());
    }
}

void ConsistencyCheck::checkTenantBalances()
{
    // A void invoice keeps its total but owes nothing; every other invoice owes its balance.
    QHash<qint64, qint64> open;
    const QVariantList invoices = m_db->execQuery(
        u"SELECT tenant_id, balance FROM invoices WHERE status!='void' AND tenant_id IS NOT NULL"_s);
    for (const QVariant &element : invoices) {
        const QVariantMap row = element.toMap();
        open[row.value(u"tenant_id"_s).toLongLong()]
            += Money::cents(row.value(u"balance"_s).toDouble());
    }
    const QVariantList tenants = m_db->execQuery(u"SELECT id, balance FROM tenants ORDER BY id"_s);
    for (const QVariant &element : tenants) {
        const QVariantMap row = element.toMap();
        const qint64 balance = Money::cents(row.value(u"balance"_s).toDouble());
        const qint64 owed = open.value(row.value(u"id"_s).toLongLong());
        if (balance != owed)
            m_findings << u"tenant %1: balance %2 but open invoices total %3"_s.arg(
                row.value(u"id"_s).toString(), amount(balance), amount(owed));
    }
}

void ConsistencyCheck::checkInvoiceTotals()
{
    const QVariantList rows = m_db->execQuery(
        u"SELECT id, invoice_number, total_amount, paid_amount, balance FROM invoices "
        "WHERE status!='void' ORDER BY id"_s);
    for (const QVariant &element : rows) {
        const QVariantMap row = element.toMap();
        const qint64 total = Money::cents(row.value(u"total_amount"_s).toDouble());
        const qint64 paid = Money::cents(row.value(u"paid_amount"_s).toDouble());
        const qint64 balance = Money::cents(row.value(u"balance"_s).toDouble());
        if (paid + balance != total)
            m_findings << u"invoice %1: paid %2 + balance %3 differ from total %4"_s.arg(
                row.value(u"invoice_number"_s).toString(), amount(paid), amount(balance),
                amount(total));
    }
}

void ConsistencyCheck::checkInvoiceNumbers()
{
    const QVariantList rows = m_db->execQuery(
        u"SELECT invoice_number, COUNT(*) as copies FROM invoices GROUP BY invoice_number "
        "HAVING COUNT(*) > 1 ORDER BY invoice_number"_s);
    for (const QVariant &element : rows) {
        const QVariantMap row = element.toMap();
        m_findings << u"invoice number %1 is used %2 times"_s.arg(
            row.value(u"invoice_number"_s).toString(), row.value(u"copies"_s).toString());
    }
}

void ConsistencyCheck::checkInstallmentSchedules()
{
    // Every row of a sale repeats its price and down payment; the schedule covers the rest.
    const QVariantList rows = m_db->execQuery(
        u"SELECT buyer_id, unit_id, MIN(total_price) as low_price, MAX(total_price) as high_price, "
        "MAX(down_payment) as down_payment FROM installments GROUP BY buyer_id, unit_id "
        "ORDER BY unit_id, buyer_id"_s);
    for (const QVariant &element : rows) {
        const QVariantMap row = element.toMap();
        const QVariantList amounts = m_db->execQuery(
            u"SELECT installment_amount FROM installments WHERE buyer_id=? AND unit_id=?"_s,
            { row.value(u"buyer_id"_s), row.value(u"unit_id"_s) });
        qint64 scheduled = 0;
        for (const QVariant &line : amounts)
            scheduled += Money::cents(line.toMap().value(u"installment_amount"_s).toDouble());
        const qint64 price = Money::cents(row.value(u"high_price"_s).toDouble());
        const qint64 down = Money::cents(row.value(u"down_payment"_s).toDouble());
        const QString sale = u"sale of unit %1 to buyer %2"_s.arg(
            row.value(u"unit_id"_s).toString(), row.value(u"buyer_id"_s).toString());
        if (Money::cents(row.value(u"low_price"_s).toDouble()) != price)
            m_findings << sale + u": its installments disagree on the sale price"_s;
        else if (down + scheduled != price)
            m_findings << sale
                    + u": down payment %1 + installments %2 differ from price %3"_s.arg(
                        amount(down), amount(scheduled), amount(price));
    }
}

void ConsistencyCheck::checkJournal()
{
    QMap<qint64, qint64> difference;
    const QVariantList lines
        = m_db->execQuery(u"SELECT entry_id, debit, credit FROM journal_lines"_s);
    for (const QVariant &element : lines) {
        const QVariantMap row = element.toMap();
        difference[row.value(u"entry_id"_s).toLongLong()]
            += Money::cents(row.value(u"debit"_s).toDouble())
            - Money::cents(row.value(u"credit"_s).toDouble());
    }
    for (auto it = difference.constBegin(); it != difference.constEnd(); ++it) {
        if (it.value() != 0)
            m_findings << u"journal entry %1: debits exceed credits by %2"_s.arg(
                QString::number(it.key()), amount(it.value()));
    }
}
