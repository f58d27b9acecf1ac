#pragma once

#include "modelbase.h"

// Unit sales on installments: the sale with its schedule, collections, and the schedule lists.
class InstallmentModel : public ModelBase
{
    Q_OBJECT
public:
    explicit InstallmentModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE int sellUnit(int buyerId, int unitId, double totalPrice, double downPayment,
        int numInstallments, const QString &startDate, int currId,
        const QString &startCheque = QString(), const QString &bankName = QString());
    Q_INVOKABLE bool payInstallment(int id, double amount);
    Q_INVOKABLE int add(int buyerId, int unitId, double total, double down, double amount,
        const QString &dueDate, int cid);
    Q_INVOKABLE QVariantList getByBuyer(int buyerId);
    Q_INVOKABLE QVariantList getOverdue();

private:
    bool writeAudit(
        const QString &action, const QString &table, int recordId, const QString &details);
};
