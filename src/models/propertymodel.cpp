#include "propertymodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

PropertyModel::PropertyModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
