#include "paymentmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

PaymentModel::PaymentModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
