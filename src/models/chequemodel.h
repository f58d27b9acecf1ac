#pragma once

#include "modelbase.h"

// The cheque register: cheques received and issued, and their status.
class ChequeModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ChequeModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE int add(const QString &num, const QString &type, double amount, const QString &bank,
        const QString &dueDate, const QString &payerPayee, int currId, double exchangeRate,
        int buyerId = 0, int tenantId = 0);
    Q_INVOKABLE bool updateStatus(int id, const QString &status);
    // Corrects a cheque that has not reached the bank yet.
    Q_INVOKABLE bool update(int id, const QString &num, double amount, const QString &bank,
        const QString &dueDate, const QString &payerPayee);
    Q_INVOKABLE QVariantList getByType(const QString &type);
    Q_INVOKABLE QVariantList getByStatus(const QString &status);
    Q_INVOKABLE QVariantList getPending();
    Q_INVOKABLE QVariantList getPostDated();
};
