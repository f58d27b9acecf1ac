#include "paymentmodel.h"

#include "database.h"
#include "transactionguard.h"

using namespace Qt::StringLiterals;

PaymentModel::PaymentModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList PaymentModel::getAll()
{
    return list(
        u"SELECT p.*, t.full_name as tenant_name, i.invoice_number, u.unit_number, "
        "pr.name as property_name FROM payments p "
        "LEFT JOIN tenants t ON p.tenant_id=t.id LEFT JOIN invoices i ON p.invoice_id=i.id "
        "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties pr ON u.property_id=pr.id "
        "ORDER BY p.payment_date DESC"_s);
}

QVariantList PaymentModel::getLatest(int limit)
{
    return list(
        u"SELECT p.*, t.full_name as tenant_name, i.invoice_number, u.unit_number, "
        "pr.name as property_name FROM payments p "
        "LEFT JOIN tenants t ON p.tenant_id=t.id LEFT JOIN invoices i ON p.invoice_id=i.id "
        "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties pr ON u.property_id=pr.id "
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
    if (!permitted(Operation::DailyWork))
        return -1;
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
