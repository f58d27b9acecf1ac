#pragma once

#include "modelbase.h"

// Operating expenses of properties and units, and the contractors they are paid to.
class ExpenseModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ExpenseModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE int add(int propId, int unitId, int contractorId, const QString &cat,
        const QString &workCat, const QString &desc, double amount, const QString &date,
        int currId);
    Q_INVOKABLE QVariantList getByProperty(int propId);
    Q_INVOKABLE double getTotal(int propId = -1);
    Q_INVOKABLE QVariantList getContractors();
    Q_INVOKABLE int addContractor(const QString &name, const QString &phone, const QString &trade);
    Q_INVOKABLE QVariantList getContractorExpenses(int contractorId);
};
