#include "contractmodel.h"

#include "chequemodel.h"
#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
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
    // Checked inside the write so that two operators cannot both lease the unit.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    if (hasOverlap(unitId, start, end, -1))
        return -1;
    // A sold unit is no longer the owner's to let.
    if (one(u"SELECT status FROM units WHERE id=?"_s, { unitId }).value(u"status"_s).toString()
        == u"sold"_s)
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
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    const QVariantMap lease
        = one(u"SELECT unit_id, start_date, status FROM contracts WHERE id=?"_s, { id });
    if (lease.isEmpty() || lease.value(u"status"_s).toString() != u"active"_s)
        return false;
    const QString start = lease.value(u"start_date"_s).toString();
    if (end < start || hasOverlap(lease.value(u"unit_id"_s).toInt(), start, end, id))
        return false;
    if (!m_db->execNonQuery(u"UPDATE contracts SET end_date=?, rent_amount=?, notes=? WHERE id=?"_s,
            { end, rent, notes, id })
        || !guard.commit())
        return false;
    emit dataChanged();
    return true;
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

void ContractModel::refuse(const QString &why)
{
    m_lastRefusal = why;
    emit outcomeChanged();
}

QVariantMap ContractModel::renewalDefaults(int id)
{
    QVariantMap lease = getById(id);
    const QDate end
        = QDate::fromString(lease.value(u"end_date"_s).toString().left(10), Qt::ISODate);
    if (lease.isEmpty() || !end.isValid())
        return lease;
    const QDate start = end.addDays(1);
    lease.insert(u"new_start"_s, start.toString(Qt::ISODate));
    lease.insert(u"new_end"_s, start.addYears(1).addDays(-1).toString(Qt::ISODate));
    return lease;
}

double ContractModel::renewedRent(int id, const QString &mode, double value)
{
    const double rent
        = doubleFigure(u"SELECT rent_amount FROM contracts WHERE id=?"_s, u"rent_amount"_s, { id });
    if (!isFinite(value) || !Money::isAcceptable(rent))
        return rent;
    if (mode == u"percent"_s)
        return Money::round(rent * (100.0 + value) / 100.0);
    return Money::fromCents(Money::cents(rent) + Money::cents(value));
}

int ContractModel::renew(int id, const QString &end, double rent, double depositTopUp)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    // Everything below is read inside the write, so a lease is renewed once however many
    // operators press at the same moment.
    TransactionGuard guard(m_db);
    const QString failed = u"تعذر حفظ التجديد في قاعدة البيانات"_s;
    if (!guard.isActive()) {
        refuse(failed);
        return -1;
    }
    const QVariantMap lease = renewalDefaults(id);
    if (lease.isEmpty()) {
        refuse(u"العقد غير موجود"_s);
        return -1;
    }
    if (lease.value(u"status"_s).toString() != u"active"_s) {
        refuse(u"يُجدَّد العقد النشط فقط"_s);
        return -1;
    }
    const QString start = lease.value(u"new_start"_s).toString();
    const QDate last = QDate::fromString(end, u"yyyy-MM-dd"_s);
    if (!last.isValid() || end < start) {
        refuse(u"تاريخ نهاية العقد الجديد يجب أن يكون بعد %1"_s.arg(start));
        return -1;
    }
    if (!Money::isAcceptable(rent) || Money::cents(rent) <= 0) {
        refuse(u"أدخل مبلغ إيجار صحيحاً للعقد الجديد"_s);
        return -1;
    }
    if (!Money::isAcceptable(depositTopUp) || Money::cents(depositTopUp) < 0) {
        refuse(u"زيادة التأمين يجب أن تكون صفراً أو مبلغاً موجباً"_s);
        return -1;
    }
    const int unitId = lease.value(u"unit_id"_s).toInt();
    if (one(u"SELECT status FROM units WHERE id=?"_s, { unitId }).value(u"status"_s).toString()
        == u"sold"_s) {
        refuse(u"الوحدة مباعة فلا تؤجر من جديد"_s);
        return -1;
    }
    if (hasOverlap(unitId, start, end, id)) {
        refuse(u"الوحدة مؤجرة بعقد آخر في الفترة %1 إلى %2"_s.arg(start, end));
        return -1;
    }

    const double deposit = Money::fromCents(
        Money::cents(lease.value(u"deposit"_s).toDouble()) + Money::cents(depositTopUp));
    const int newId = m_db->execInsert(
        u"INSERT INTO contracts (unit_id,tenant_id,start_date,end_date,rent_amount,"
        "payment_frequency,deposit,currency_id,renewed_from) VALUES (?,?,?,?,?,?,?,?,?)"_s,
        { unitId, lease.value(u"tenant_id"_s), start, end, Money::round(rent),
            lease.value(u"payment_frequency"_s), deposit, lease.value(u"currency_id"_s), id });
    if (newId < 1
        || !m_db->execNonQuery(
            u"UPDATE contracts SET status='renewed' WHERE id=? AND status='active'"_s, { id })
        || !guard.commit()) {
        refuse(failed);
        return -1;
    }
    m_lastRefusal.clear();
    emit outcomeChanged();
    emit dataChanged();
    return newId;
}

QVariantList ContractModel::renewalChain(int id)
{
    // Back to the first lease of the chain, then forward through every renewal.
    return list(u"WITH RECURSIVE back(id, renewed_from) AS ("
                " SELECT id, renewed_from FROM contracts WHERE id=?"
                " UNION SELECT c.id, c.renewed_from FROM contracts c JOIN back b"
                " ON c.id=b.renewed_from), "
                "chain(id) AS (SELECT id FROM back WHERE renewed_from IS NULL"
                " UNION SELECT c.id FROM contracts c JOIN chain ch ON c.renewed_from=ch.id) "
                "SELECT c.id, c.start_date, c.end_date, c.rent_amount, c.deposit, c.status, "
                "c.renewed_from, c.currency_id FROM contracts c JOIN chain ON chain.id=c.id "
                "ORDER BY c.start_date, c.id"_s,
        { id });
}
