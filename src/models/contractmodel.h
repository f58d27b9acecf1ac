#pragma once

#include "modelbase.h"

// Lease contracts: one tenant, one unit, a date range that never double-books the unit.
class ContractModel : public ModelBase
{
    Q_OBJECT
public:
    explicit ContractModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE int add(int unitId, int tenantId, const QString &start, const QString &end,
        double rent, const QString &freq, double deposit, int currId);
    // A lease signed with `chequeCount` post-dated cheques (see ChequeModel::receiveLeaseCheques),
    // all or nothing; no cheques when the count is 0. Returns the lease's id, -1 on failure.
    Q_INVOKABLE int addWithCheques(int unitId, int tenantId, const QString &start,
        const QString &end, double rent, const QString &freq, double deposit, int currId,
        int chequeCount, const QString &firstDate, double chequeAmount, const QString &bank,
        const QString &firstNumber);
    // End date, rent for the invoices still to come, notes; an active lease only.
    Q_INVOKABLE bool update(int id, const QString &end, double rent, const QString &notes);
    Q_INVOKABLE bool terminate(int id);
    Q_INVOKABLE QVariantList getExpiring(int days);
    Q_INVOKABLE bool hasOverlap(
        int unitId, const QString &start, const QString &end, int excludeId = -1);
};
