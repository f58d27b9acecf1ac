#pragma once

#include "modelbase.h"

class BuyerModel : public ModelBase
{
    Q_OBJECT
public:
    explicit BuyerModel(Database *db, QObject *parent = nullptr);
};
