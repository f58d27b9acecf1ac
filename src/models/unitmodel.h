#pragma once

#include "modelbase.h"

class UnitModel : public ModelBase
{
    Q_OBJECT
public:
    explicit UnitModel(Database *db, QObject *parent = nullptr);
};
