#include "propertymodel.h"

#include "database.h"
#include "figures.h"
#include "transactionguard.h"

using namespace Qt::StringLiterals;

PropertyModel::PropertyModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList PropertyModel::getAll()
{
    // The live total_units comes after p.* and so wins over the stored column of that name.
    // Each unit's active leases are counted through the unit's own index entry: as a join,
    // SQLite read every active lease once per property (30 s on 400 properties).
    return list(u"SELECT p.*, (SELECT COUNT(*) FROM units WHERE property_id=p.id) as total_units, "
                "(SELECT COUNT(*) FROM units WHERE property_id=p.id AND status='rented') as "
                "rented_units, (SELECT COUNT(*) FROM units WHERE property_id=p.id AND "
                "status='sold') as sold_units, (SELECT COALESCE(SUM(u.rent_monthly * (SELECT "
                "COUNT(*) FROM contracts c WHERE c.unit_id=u.id AND c.status='active')),0) FROM "
                "units u WHERE u.property_id=p.id) as monthly_revenue FROM properties p ORDER BY "
                "p.created_at DESC"_s);
}

QVariantMap PropertyModel::getById(int id)
{
    return one(u"SELECT * FROM properties WHERE id=?"_s, { id });
}

int PropertyModel::add(const QString &name, const QString &type, const QString &address,
    const QString &city, const QString &description)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    // A property never exists without its cost centre.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int id = m_db->execInsert(
        u"INSERT INTO properties (name,type,address,city,description) VALUES (?,?,?,?,?)"_s,
        { name, type, address, city, description });
    if (id < 1)
        return id;
    if (m_db->execInsert(u"INSERT INTO cost_centers (name,type,property_id) VALUES (?,?,?)"_s,
            { name, u"project"_s, id })
        < 1)
        return -1;
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

bool PropertyModel::update(int id, const QString &name, const QString &type, const QString &address,
    const QString &city, const QString &description)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return change(u"UPDATE properties SET name=?,type=?,address=?,city=?,description=?,"
                  "updated_at=datetime('now') WHERE id=?"_s,
        { name, type, address, city, description, id });
}

bool PropertyModel::remove(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (intFigure(u"SELECT COUNT(*) as c FROM units WHERE property_id=? AND status!='available'"_s,
            u"c"_s, { id })
        > 0)
        return false;

    // The cost centre made by add goes with its property; any other reference (units, expenses,
    // maintenance requests, child cost centres) makes a DELETE fail and undoes both.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    if (!m_db->execNonQuery(u"DELETE FROM cost_centers WHERE property_id=?"_s, { id }))
        return false;
    if (!m_db->execNonQuery(u"DELETE FROM properties WHERE id=?"_s, { id }))
        return false;
    if (!guard.commit())
        return false;
    emit dataChanged();
    return true;
}

QVariantMap PropertyModel::getStats(int id)
{
    QVariantMap stats
        = one(u"SELECT (SELECT COUNT(*) FROM units WHERE property_id=?) as total_units,"
              "(SELECT COUNT(*) FROM units WHERE property_id=? AND status='rented') as rented,"
              "(SELECT COUNT(*) FROM units WHERE property_id=? AND status='available') as "
              "available,(SELECT COUNT(*) FROM units WHERE property_id=? AND status='sold') as "
              "sold"_s,
            { id, id, id, id });
    // Money in the primary currency, by the same definitions the reports use.
    stats.insert(u"total_income"_s, Figures::rentCollections(m_db, QString(), QString(), id));
    stats.insert(u"total_expenses"_s, Figures::expensesPaid(m_db, QString(), QString(), id));
    return stats;
}

QVariantList PropertyModel::search(const QString &query)
{
    const QString pattern = u"%"_s + query + u"%"_s;
    return list(u"SELECT * FROM properties WHERE name LIKE ? OR city LIKE ? OR address LIKE ?"_s,
        { pattern, pattern, pattern });
}
