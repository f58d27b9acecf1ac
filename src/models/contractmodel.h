#pragma once

#include "modelbase.h"

// Lease contracts: one tenant, one unit, a date range that never double-books the unit.
class ContractModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused renewal was refused, as a sentence for the user; empty after a
    // success.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
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

    // What a renewal of the lease starts from: the lease's row plus new_start (the day after
    // its end) and new_end (a year later, less a day).
    Q_INVOKABLE QVariantMap renewalDefaults(int id);
    // The lease's rent raised by `value` percent (mode "percent") or by the amount `value`
    // (mode "amount"), to the cent; a negative value lowers it.
    Q_INVOKABLE double renewedRent(int id, const QString &mode, double value);
    // Continues an active lease with a new one from the day after its end to `end`, at `rent`,
    // its deposit raised by `depositTopUp`; the old lease becomes 'renewed'. Returns the new
    // lease's id, or -1 with lastRefusal.
    Q_INVOKABLE int renew(int id, const QString &end, double rent, double depositTopUp);
    // Every lease of the chain the lease belongs to, oldest first, with its rent and status.
    Q_INVOKABLE QVariantList renewalChain(int id);

    QString lastRefusal() const { return m_lastRefusal; }

signals:
    void outcomeChanged();

private:
    void refuse(const QString &why);

    QString m_lastRefusal;
};
