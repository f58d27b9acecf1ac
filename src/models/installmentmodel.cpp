#include "installmentmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

InstallmentModel::InstallmentModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
