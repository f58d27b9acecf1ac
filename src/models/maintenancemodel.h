#pragma once

#include "modelbase.h"

class MaintenanceModel : public ModelBase
{
    Q_OBJECT
public:
    explicit MaintenanceModel(Database *db, QObject *parent = nullptr);
};
