#pragma once

#include "modelbase.h"

// The register of tenants. Their balance is kept by invoicing and payments, never written here.
class TenantModel : public ModelBase
{
    Q_OBJECT
public:
    explicit TenantModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE int add(const QString &name, const QString &idNum, const QString &phone,
        const QString &email, const QString &addr);
    Q_INVOKABLE bool update(int id, const QString &name, const QString &idNum, const QString &phone,
        const QString &email, const QString &addr);
    Q_INVOKABLE bool remove(int id);
    Q_INVOKABLE QVariantList getStatement(int id);
    Q_INVOKABLE QVariantList search(const QString &q);
};
