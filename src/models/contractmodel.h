#pragma once

#include "modelbase.h"

class ContractModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ContractModel(Database *db, QObject *parent = nullptr);
};
