#pragma once

#include "modelbase.h"

class TenantModel : public ModelBase
{
    Q_OBJECT
public:
    explicit TenantModel(Database *db, QObject *parent = nullptr);
};
