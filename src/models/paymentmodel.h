#pragma once

#include "modelbase.h"

class PaymentModel : public ModelBase
{
    Q_OBJECT
public:
    explicit PaymentModel(Database *db, QObject *parent = nullptr);
};
