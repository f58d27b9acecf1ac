#include "unitmodel.h"

#include "database.h"
#include "posting.h"
#include "transactionguard.h"

using namespace Qt::StringLiterals;

UnitModel::UnitModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList UnitModel::getByProperty(int propertyId)
{
    return list(u"SELECT u.*, p.name as property_name FROM units u JOIN properties p ON "
                "u.property_id=p.id WHERE u.property_id=? ORDER BY u.unit_number"_s,
        { propertyId });
}

QVariantList UnitModel::getAll()
{
    return list(u"SELECT u.*, p.name as property_name FROM units u JOIN properties p ON "
                "u.property_id=p.id ORDER BY p.name, u.unit_number"_s);
}

QVariantMap UnitModel::getById(int id)
{
    return one(u"SELECT u.*, p.name as property_name FROM units u JOIN properties p ON "
               "u.property_id=p.id WHERE u.id=?"_s,
        { id });
}

int UnitModel::add(int propertyId, const QString &number, int floor, double area, int rooms,
    double rentMonthly, double rentYearly, double salePrice, int currencyId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isFinite(rentMonthly) || !isFinite(rentYearly) || !isFinite(salePrice))
        return -1;
    return create(u"INSERT INTO units (property_id,unit_number,floor,area,rooms,rent_monthly,"
                  "rent_yearly,sale_price,currency_id) VALUES (?,?,?,?,?,?,?,?,?)"_s,
        { propertyId, number, floor, area, rooms, rentMonthly, rentYearly, salePrice, currencyId });
}

bool UnitModel::update(int id, const QString &number, int floor, double area, int rooms,
    double rentMonthly, double rentYearly, double salePrice)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(rentMonthly) || !isFinite(rentYearly) || !isFinite(salePrice))
        return false;
    return change(u"UPDATE units SET unit_number=?,floor=?,area=?,rooms=?,rent_monthly=?,"
                  "rent_yearly=?,sale_price=? WHERE id=?"_s,
        { number, floor, area, rooms, rentMonthly, rentYearly, salePrice, id });
}

bool UnitModel::remove(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    const QVariantMap unit = one(u"SELECT status FROM units WHERE id=?"_s, { id });
    if (!unit.isEmpty() && unit.value(u"status"_s).toString() != u"available"_s)
        return false;
    return change(u"DELETE FROM units WHERE id=?"_s, { id });
}

bool UnitModel::updateStatus(int id, const QString &status)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return change(u"UPDATE units SET status=? WHERE id=?"_s, { status, id });
}

QVariantList UnitModel::getAvailable()
{
    return list(u"SELECT u.*, p.name as property_name FROM units u JOIN properties p ON "
                "u.property_id=p.id WHERE u.status='available' ORDER BY p.name"_s);
}

bool UnitModel::markAsSold(int unitId, int buyerId, double price, const QString &date)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(price))
        return false;
    // The sale and its journal entry stand or fall together.
    TransactionGuard guard(m_db);
    // A second sale of the same unit would book its revenue twice.
    if (!guard.isActive()
        || one(u"SELECT status FROM units WHERE id=?"_s, { unitId }).value(u"status"_s).toString()
            == u"sold"_s
        || !m_db->execNonQuery(u"UPDATE units SET status='sold', buyer_id=?, "
                               "sale_price_actual=?, sale_date=? WHERE id=?"_s,
            { buyerId, price, date, unitId })
        || !Posting::post(m_db, Posting::Kind::Sale, unitId) || !guard.commit())
        return false;
    emit dataChanged();
    return true;
}
