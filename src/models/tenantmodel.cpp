#include "tenantmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

TenantModel::TenantModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList TenantModel::getAll()
{
    return list(u"SELECT t.*, (SELECT COUNT(*) FROM contracts WHERE tenant_id=t.id AND "
                "status='active') as active_contracts FROM tenants t ORDER BY t.full_name"_s);
}

QVariantMap TenantModel::getById(int id)
{
    return one(u"SELECT * FROM tenants WHERE id=?"_s, { id });
}

int TenantModel::add(const QString &name, const QString &idNum, const QString &phone,
    const QString &email, const QString &addr)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    return create(
        u"INSERT INTO tenants (full_name,id_number,phone,email,address) VALUES (?,?,?,?,?)"_s,
        { name, idNum, phone, email, addr });
}

bool TenantModel::update(int id, const QString &name, const QString &idNum, const QString &phone,
    const QString &email, const QString &addr)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return change(
        u"UPDATE tenants SET full_name=?,id_number=?,phone=?,email=?,address=? WHERE id=?"_s,
        { name, idNum, phone, email, addr, id });
}

bool TenantModel::remove(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (intFigure(u"SELECT COUNT(*) as c FROM contracts WHERE tenant_id=? AND status='active'"_s,
            u"c"_s, { id })
        > 0)
        return false;
    return change(u"DELETE FROM tenants WHERE id=?"_s, { id });
}

QVariantList TenantModel::getStatement(int id)
{
    // Payment dates are plain days and invoice dates timestamps, so on one day a payment sorts
    // first. A void invoice stays listed but owes nothing.
    return list(u"SELECT 'invoice' as type, i.created_at as date, i.invoice_number as ref, "
                "CASE WHEN i.status='void' THEN 0 ELSE i.total_amount END as debit, 0 as credit, "
                "i.notes as description FROM invoices i "
                "WHERE i.tenant_id=? UNION ALL SELECT 'payment' as type, p.payment_date as date, "
                "p.reference as ref, 0 as debit, p.amount as credit, p.notes as description FROM "
                "payments p WHERE p.tenant_id=? ORDER BY date"_s,
        { id, id });
}

QVariantList TenantModel::search(const QString &q)
{
    const QString pattern = u"%"_s + q + u"%"_s;
    return list(
        u"SELECT * FROM tenants WHERE full_name LIKE ? OR phone LIKE ? OR id_number LIKE ?"_s,
        { pattern, pattern, pattern });
}
