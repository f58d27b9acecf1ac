#pragma once

#include "modelbase.h"

class AccountModel : public ModelBase
{
    Q_OBJECT
public:
    explicit AccountModel(Database *db, QObject *parent = nullptr);
};
