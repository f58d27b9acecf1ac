#include "buyermodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

BuyerModel::BuyerModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList BuyerModel::getAll()
{
    return list(u"SELECT b.*, (SELECT COUNT(*) FROM installments WHERE buyer_id=b.id) as "
                "installment_count FROM buyers b ORDER BY b.full_name"_s);
}

int BuyerModel::add(const QString &name, const QString &idNum, const QString &phone,
    const QString &email, const QString &addr)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    return create(
        u"INSERT INTO buyers (full_name,id_number,phone,email,address) VALUES (?,?,?,?,?)"_s,
        { name, idNum, phone, email, addr });
}

bool BuyerModel::update(int id, const QString &name, const QString &idNum, const QString &phone,
    const QString &email, const QString &addr)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return change(
        u"UPDATE buyers SET full_name=?,id_number=?,phone=?,email=?,address=? WHERE id=?"_s,
        { name, idNum, phone, email, addr, id });
}

QVariantList BuyerModel::getStatement(int id)
{
    return list(u"SELECT i.*, u.unit_number, p.name as property_name FROM installments i JOIN "
                "units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE "
                "i.buyer_id=? ORDER BY i.due_date"_s,
        { id });
}
