#pragma once

#include "modelbase.h"

class ChequeModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ChequeModel(Database *db, QObject *parent = nullptr);
};
