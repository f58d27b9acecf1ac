#pragma once

#include "modelbase.h"

// The catalogue of billable services (water, electricity, cleaning, lift, guarding...): a name,
// how it is billed ('fixed' per month or by 'usage'), and its rate.
class ServiceModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ServiceModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
};
