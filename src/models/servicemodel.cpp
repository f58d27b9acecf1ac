#include "servicemodel.h"

using namespace Qt::StringLiterals;

ServiceModel::ServiceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList ServiceModel::getAll() { return list(u"SELECT * FROM services ORDER BY id"_s); }

QVariantMap ServiceModel::getById(int id)
{
    return one(u"SELECT * FROM services WHERE id=?"_s, { id });
}
