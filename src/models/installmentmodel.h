#pragma once

#include "modelbase.h"

// Unit sales on installments: the sale with its schedule, collections, and the schedule lists.
class InstallmentModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused reversal was refused, as a sentence for the user.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
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
    // Undoes one collection with a stated reason: a payment of the opposite amount, dated today,
    // names it, and the installment owes the amount again. Returns the new row's id, -1 when
    // refused or failed.
    Q_INVOKABLE int reverseCollection(int paymentId, const QString &reason);

    QString lastRefusal() const { return m_lastRefusal; }

signals:
    void outcomeChanged();

private:
    int refuse(const QString &why);

    QString m_lastRefusal;

    bool writeAudit(
        const QString &action, const QString &table, int recordId, const QString &details);
};
