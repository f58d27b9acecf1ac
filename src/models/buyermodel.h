#pragma once

#include "modelbase.h"

// The register of buyers and their installment statements.
class BuyerModel : public ModelBase
{
    Q_OBJECT
public:
    explicit BuyerModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE int add(const QString &name, const QString &idNum, const QString &phone,
        const QString &email, const QString &addr);
    Q_INVOKABLE bool update(int id, const QString &name, const QString &idNum, const QString &phone,
        const QString &email, const QString &addr);
    Q_INVOKABLE QVariantList getStatement(int id);
};
