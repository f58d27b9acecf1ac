#pragma once

#include "modelbase.h"

class ExpenseModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ExpenseModel(Database *db, QObject *parent = nullptr);
};
