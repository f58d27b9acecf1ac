#include "maintenancemodel.h"

#include "database.h"
#include "posting.h"
#include "transactionguard.h"

#include <QDate>

using namespace Qt::StringLiterals;

MaintenanceModel::MaintenanceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList MaintenanceModel::getAll()
{
    return list(u"SELECT m.*, u.unit_number, p.name as property_name FROM maintenance_requests m "
                "JOIN units u ON m.unit_id=u.id JOIN properties p ON u.property_id=p.id ORDER BY "
                "m.created_at DESC"_s);
}

int MaintenanceModel::add(
    int unitId, int propertyId, const QString &title, const QString &desc, const QString &priority)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    return create(u"INSERT INTO maintenance_requests (unit_id,property_id,title,description,"
                  "priority,request_date) VALUES (?,?,?,?,?,date('now','localtime'))"_s,
        { unitId, propertyId, title, desc, priority });
}

bool MaintenanceModel::update(
    int id, const QString &title, const QString &desc, const QString &priority)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (title.trimmed().isEmpty())
        return false;
    return change(
        u"UPDATE maintenance_requests SET title=?, description=?, priority=? WHERE id=?"_s,
        { title, desc, priority, id });
}

bool MaintenanceModel::updateStatus(int id, const QString &status)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return change(u"UPDATE maintenance_requests SET status=? WHERE id=?"_s, { status, id });
}

bool MaintenanceModel::complete(int id, double cost)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(cost))
        return false;
    // The completed request and its expense stand or fall together.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    if (!m_db->execNonQuery(u"UPDATE maintenance_requests SET status='completed', cost=?, "
                            "completed_date=date('now','localtime') WHERE id=?"_s,
            { cost, id }))
        return false;
    const QVariantList rows
        = m_db->execQuery(u"SELECT * FROM maintenance_requests WHERE id=?"_s, { id });
    if (!rows.isEmpty()) {
        const QVariantMap request = rows.first().toMap();
        const int expenseId = m_db->execInsert(
            u"INSERT INTO expenses (property_id,unit_id,category,description,amount,expense_date,"
            "maintenance_id) VALUES (?,?,?,?,?,?,?)"_s,
            { request.value(u"property_id"_s), request.value(u"unit_id"_s), u"صيانة"_s,
                request.value(u"title"_s), cost, QDate::currentDate().toString(u"yyyy-MM-dd"_s),
                id });
        if (expenseId < 1 || !Posting::post(m_db, Posting::Kind::Expense, expenseId))
            return false;
    }
    if (!guard.commit())
        return false;
    emit dataChanged();
    return true;
}

QVariantList MaintenanceModel::getByStatus(const QString &status)
{
    return list(u"SELECT m.*, u.unit_number, p.name as property_name FROM maintenance_requests m "
                "JOIN units u ON m.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE "
                "m.status=? ORDER BY m.created_at DESC"_s,
        { status });
}

int MaintenanceModel::getCount(const QString &status)
{
    if (status.isEmpty())
        return intFigure(u"SELECT COUNT(*) as c FROM maintenance_requests"_s, u"c"_s);
    return intFigure(
        u"SELECT COUNT(*) as c FROM maintenance_requests WHERE status=?"_s, u"c"_s, { status });
}
