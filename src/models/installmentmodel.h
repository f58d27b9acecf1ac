#pragma once

#include "modelbase.h"

class InstallmentModel : public ModelBase
{
    Q_OBJECT
public:
    explicit InstallmentModel(Database *db, QObject *parent = nullptr);
};
