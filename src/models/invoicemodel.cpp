#include "invoicemodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

InvoiceModel::InvoiceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
