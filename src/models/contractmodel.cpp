#include "contractmodel.h"

#include "chequemodel.h"
#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QSignalBlocker>

using namespace Qt::StringLiterals;

ContractModel::ContractModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList ContractModel::getAll()
{
    return list(u"SELECT c.*, t.full_name as tenant_name, u.unit_number, p.name as "
                "property_name FROM contracts c JOIN tenants t ON c.tenant_id=t.id JOIN units u "
                "ON c.unit_id=u.id JOIN properties p ON u.property_id=p.id ORDER BY c.created_at "
                "DESC"_s);
}

QVariantMap ContractModel::getById(int id)
{
    return one(u"SELECT c.*, t.full_name as tenant_name, u.unit_number, p.name as "
               "property_name FROM contracts c JOIN tenants t ON c.tenant_id=t.id JOIN units u "
               "ON c.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE c.id=?"_s,
        { id });
}

int ContractModel::add(int unitId, int tenantId, const QString &start, const QString &end,
    double rent, const QString &freq, double deposit, int currId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isFinite(rent) || !isFinite(deposit))
        return -1;
    if (hasOverlap(unitId, start, end, -1))
        return -1;
    // A sold unit is no longer the owner's to let.
    if (one(u"SELECT status FROM units WHERE id=?"_s, { unitId }).value(u"status"_s).toString()
        == u"sold"_s)
        return -1;

    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int id = m_db->execInsert(u"INSERT INTO contracts (unit_id,tenant_id,start_date,"
                                    "end_date,rent_amount,payment_frequency,deposit,currency_id) "
                                    "VALUES (?,?,?,?,?,?,?,?)"_s,
        { unitId, tenantId, start, end, rent, freq, deposit, currId });
    if (id < 1)
        return id;
    if (!m_db->execNonQuery(u"UPDATE units SET status='rented' WHERE id=?"_s, { unitId }))
        return -1;
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

int ContractModel::addWithCheques(int unitId, int tenantId, const QString &start,
    const QString &end, double rent, const QString &freq, double deposit, int currId,
    int chequeCount, const QString &firstDate, double chequeAmount, const QString &bank,
    const QString &firstNumber)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    int id = -1;
    {
        // One change to announce, after the lease and its cheques are stored.
        const QSignalBlocker quiet(this);
        id = add(unitId, tenantId, start, end, rent, freq, deposit, currId);
    }
    if (id < 1)
        return -1;
    ChequeModel cheques(m_db);
    if (chequeCount > 0
        && cheques.receiveLeaseCheques(id, chequeCount, firstDate, chequeAmount, bank, firstNumber)
            < 1)
        return -1;
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

bool ContractModel::update(int id, const QString &end, double rent, const QString &notes)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!Money::isAcceptable(rent) || Money::cents(rent) <= 0)
        return false;
    const QVariantMap lease
        = one(u"SELECT unit_id, start_date, status FROM contracts WHERE id=?"_s, { id });
    if (lease.isEmpty() || lease.value(u"status"_s).toString() != u"active"_s)
        return false;
    const QString start = lease.value(u"start_date"_s).toString();
    if (end < start || hasOverlap(lease.value(u"unit_id"_s).toInt(), start, end, id))
        return false;
    return change(u"UPDATE contracts SET end_date=?, rent_amount=?, notes=? WHERE id=?"_s,
        { end, rent, notes, id });
}

bool ContractModel::terminate(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    const QVariantMap contract = one(u"SELECT unit_id, status FROM contracts WHERE id=?"_s, { id });
    // Ending a lease twice would free a unit that a later lease may hold.
    if (contract.isEmpty() || contract.value(u"status"_s).toString() != u"active"_s)
        return false;
    const int unitId = contract.value(u"unit_id"_s).toInt();
    if (!m_db->execNonQuery(u"UPDATE contracts SET status='terminated' WHERE id=?"_s, { id }))
        return false;
    // A unit sold while the lease ran stays sold.
    if (!m_db->execNonQuery(
            u"UPDATE units SET status='available' WHERE id=? AND status='rented'"_s, { unitId }))
        return false;
    if (!guard.commit())
        return false;
    emit dataChanged();
    return true;
}

QVariantList ContractModel::getExpiring(int days)
{
    // Leases past their end date stay active until terminated, so they are listed too.
    return list(u"SELECT c.*, t.full_name as tenant_name, u.unit_number, p.name as "
                "property_name FROM contracts c JOIN tenants t ON c.tenant_id=t.id JOIN units u "
                "ON c.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE "
                "c.status='active' AND c.end_date <= date('now','localtime','+' || ? || ' days') "
                "ORDER BY c.end_date"_s,
        { days });
}

bool ContractModel::hasOverlap(int unitId, const QString &start, const QString &end, int excludeId)
{
    // First and last days are both inclusive, so sharing one day is an overlap.
    return intFigure(u"SELECT COUNT(*) as c FROM contracts WHERE unit_id=? AND status='active' "
                     "AND id!=? AND start_date<=? AND end_date>=?"_s,
               u"c"_s, { unitId, excludeId, end, start })
        >= 1;
}
