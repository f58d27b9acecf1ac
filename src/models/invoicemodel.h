#pragma once

#include "modelbase.h"

class InvoiceModel : public ModelBase
{
    Q_OBJECT
public:
    explicit InvoiceModel(Database *db, QObject *parent = nullptr);
};
