#pragma once

#include "modelbase.h"

class CurrencyModel : public ModelBase
{
    Q_OBJECT
public:
    explicit CurrencyModel(Database *db, QObject *parent = nullptr);
};
