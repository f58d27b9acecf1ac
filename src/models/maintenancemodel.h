#pragma once

#include "modelbase.h"

// Maintenance requests against units; completing one books its cost as an expense.
class MaintenanceModel : public ModelBase
{
    Q_OBJECT
public:
    explicit MaintenanceModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE int add(int unitId, int propertyId, const QString &title, const QString &desc,
        const QString &priority);
    Q_INVOKABLE bool update(
        int id, const QString &title, const QString &desc, const QString &priority);
    Q_INVOKABLE bool updateStatus(int id, const QString &status);
    Q_INVOKABLE bool complete(int id, double cost);
    Q_INVOKABLE QVariantList getByStatus(const QString &status);
    Q_INVOKABLE int getCount(const QString &status = QString());
};
