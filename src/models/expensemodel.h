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
    // The same with how it was paid; the property is optional too (0 for none).
    Q_INVOKABLE int add(int propId, int unitId, int contractorId, const QString &cat,
        const QString &workCat, const QString &desc, double amount, const QString &date, int currId,
        const QString &paymentMethod);
    // Moves the contractor's balance with the expense: the old amount off the old contractor,
    // the new amount onto the new one.
    Q_INVOKABLE bool update(int id, int propId, int unitId, int contractorId, const QString &cat,
        const QString &workCat, const QString &desc, double amount, const QString &date, int currId,
        const QString &paymentMethod);
    Q_INVOKABLE QVariantList getByProperty(int propId);
    Q_INVOKABLE double getTotal(int propId = -1);
    Q_INVOKABLE QVariantList getContractors();
    Q_INVOKABLE int addContractor(const QString &name, const QString &phone, const QString &trade);
    Q_INVOKABLE bool updateContractor(
        int id, const QString &name, const QString &phone, const QString &trade);
    Q_INVOKABLE QVariantList getContractorExpenses(int contractorId);
    // A payment to the contractor lowers what is owed to them; never more than that, never
    // dated in the future. Returns the payment's id, or -1.
    Q_INVOKABLE int payContractor(int contractorId, double amount, const QString &date,
        const QString &method, const QString &notes);
    Q_INVOKABLE QVariantList getContractorPayments(int contractorId);
};
