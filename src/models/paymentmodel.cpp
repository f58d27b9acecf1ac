#include "paymentmodel.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QSet>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

PaymentModel::PaymentModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList PaymentModel::getAll()
{
    return list(u"SELECT p.*, COALESCE(t.full_name, b.full_name) as tenant_name, i.invoice_number, "
                "u.unit_number, pr.name as property_name FROM payments p "
                "LEFT JOIN tenants t ON p.tenant_id=t.id LEFT JOIN buyers b ON p.buyer_id=b.id "
                "LEFT JOIN invoices i ON p.invoice_id=i.id "
                "LEFT JOIN units u ON u.id=COALESCE(i.unit_id, p.unit_id) "
                "LEFT JOIN properties pr ON u.property_id=pr.id ORDER BY p.payment_date DESC"_s);
}

QVariantList PaymentModel::getLatest(int limit)
{
    return list(
        // A buyer's installment payment has no tenant or invoice: its buyer and unit stand in.
        u"SELECT p.*, COALESCE(t.full_name, b.full_name) as tenant_name, i.invoice_number, "
        "u.unit_number, pr.name as property_name FROM payments p "
        "LEFT JOIN tenants t ON p.tenant_id=t.id LEFT JOIN buyers b ON p.buyer_id=b.id "
        "LEFT JOIN invoices i ON p.invoice_id=i.id "
        "LEFT JOIN units u ON u.id=COALESCE(i.unit_id, p.unit_id) "
        "LEFT JOIN properties pr ON u.property_id=pr.id "
        "ORDER BY p.payment_date DESC, p.id DESC LIMIT ?"_s,
        { limit });
}

QVariantList PaymentModel::getRecent(int limit)
{
    return list(
        u"SELECT p.*, t.full_name as tenant_name, u.unit_number, "
        "pr.name as property_name FROM payments p "
        "LEFT JOIN tenants t ON p.tenant_id=t.id LEFT JOIN invoices i ON p.invoice_id=i.id "
        "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties pr ON u.property_id=pr.id "
        "ORDER BY p.payment_date DESC LIMIT ?"_s,
        { limit });
}

QVariantList PaymentModel::getByTenant(int tenantId)
{
    return list(
        u"SELECT * FROM payments WHERE tenant_id=? ORDER BY payment_date DESC"_s, { tenantId });
}

int PaymentModel::add(int invoiceId, int tenantId, double amount, const QString &method,
    const QString &date, const QString &ref, int currId)
{
    // A zero or negative payment would reopen a settled invoice or mark an open one paid.
    if (!isFinite(amount) || amount <= 0)
        return -1;
    if (invoiceId > 0) {
        const QVariantMap invoice
            = one(u"SELECT balance FROM invoices WHERE id=?"_s, { invoiceId });
        if (!invoice.isEmpty() && amount > invoice.value(u"balance"_s).toDouble())
            return -1;
    }

    // The payment, the invoice and the tenant's balance stand or fall together.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int id = m_db->execInsert(u"INSERT INTO payments (invoice_id,tenant_id,amount,"
                                    "payment_method,payment_date,reference,currency_id) "
                                    "VALUES (?,?,?,?,?,?,?)"_s,
        { invoiceId, tenantId, amount, method, date, ref, currId });
    if (id < 1)
        return -1;
    if (invoiceId > 0) {
        if (!m_db->execNonQuery(
                u"UPDATE invoices SET paid_amount=paid_amount+?, balance=balance-?, "
                "status=CASE WHEN balance-?<=0 THEN 'paid' ELSE 'partial' END "
                "WHERE id=?"_s,
                { amount, amount, amount, invoiceId })
            || !m_db->execNonQuery(
                u"UPDATE tenants SET balance=balance-? WHERE id=?"_s, { amount, tenantId }))
            return -1;
    }
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

QVariantList PaymentModel::settlementPlan(
    int tenantId, const QVariantList &invoiceIds, double amount)
{
    if (!Money::isAcceptable(amount) || Money::cents(amount) <= 0)
        return {};
    // Void and paid invoices are closed; another tenant's invoice is never settled from here.
    const QVariantList open
        = list(u"SELECT id, invoice_number, balance, currency_id, due_date, period FROM invoices "
               "WHERE tenant_id=? AND status!='paid' AND status!='void' AND balance>0.004 "
               "ORDER BY COALESCE(due_date, period, created_at), id"_s,
            { tenantId });
    QSet<int> chosen;
    for (const QVariant &id : invoiceIds)
        chosen.insert(id.toInt());
    // The chosen invoices not met yet among the open ones.
    QSet<int> unmet = chosen;
    QVariantList plan;
    qint64 left = Money::cents(amount);
    QVariant currency;
    for (const QVariant &row : open) {
        QVariantMap invoice = row.toMap();
        const int id = invoice.value(u"id"_s).toInt();
        if (!chosen.isEmpty() && !chosen.contains(id))
            continue;
        unmet.remove(id);
        if (currency.isValid() && invoice.value(u"currency_id"_s) != currency)
            return {};
        currency = invoice.value(u"currency_id"_s);
        if (left == 0)
            continue;
        const qint64 share = qMin(left, Money::cents(invoice.value(u"balance"_s).toDouble()));
        left -= share;
        invoice.insert(u"amount"_s, Money::fromCents(share));
        plan.append(invoice);
    }
    // Left over money or a chosen invoice that is not open: nothing is planned.
    if (left > 0 || !unmet.isEmpty())
        return {};
    return plan;
}

int PaymentModel::settle(int tenantId, const QVariantList &invoiceIds, double amount,
    const QString &method, const QString &date, const QString &ref)
{
    const QDate day = QDate::fromString(date, u"yyyy-MM-dd"_s);
    if (!day.isValid()
        || intFigure(u"SELECT ? > date('now','localtime') as f"_s, u"f"_s, { date }) != 0)
        return -1;
    const QVariantList plan = settlementPlan(tenantId, invoiceIds, amount);
    if (plan.isEmpty())
        return -1;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    {
        // One change to announce, after the whole settlement is stored.
        const QSignalBlocker quiet(this);
        for (const QVariant &row : plan) {
            const QVariantMap part = row.toMap();
            if (add(part.value(u"id"_s).toInt(), tenantId, part.value(u"amount"_s).toDouble(),
                    method, date, ref, part.value(u"currency_id"_s).toInt())
                < 1)
                return -1;
        }
    }
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return int(plan.size());
}
