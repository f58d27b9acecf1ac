#pragma once

#include "modelbase.h"

// Security deposits: the lease's deposit received and held (with its receipt), and settled when
// the lease ends: unpaid invoices of the lease and damages deducted, the rest refunded with a
// payment voucher or kept. A deposit is money held for the tenant, never rent income.
class DepositModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused receipt or settlement was refused, as a sentence for the user.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
public:
    explicit DepositModel(Database *db, QObject *parent = nullptr);

    // Receives the lease's deposit in full, in the lease's currency, with a receipt. Returns
    // the deposit's id, or -1.
    Q_INVOKABLE int receive(
        int contractId, const QString &date, const QString &method, const QString &ref);
    // The tenant's deposits, held ones first, with the lease's unit and the vouchers' numbers.
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    Q_INVOKABLE QVariantMap getById(int id);
    // The tenant's active leases whose deposit is not received yet.
    Q_INVOKABLE QVariantList pendingLeases(int tenantId);
    // What settling would do, in whole cents: the lease's unpaid invoices (oldest first) and
    // the damages ([{description, amount}]) taken from the deposit, the rest refunded (or kept
    // with `keepRest`). Damages beyond what is left are refused, or invoiced to the tenant with
    // `invoiceRest`. Keys: invoices, damages, deposit, deducted, refund, kept, invoiced_rest,
    // refusal (empty when it may be settled).
    Q_INVOKABLE QVariantMap settlementPlan(
        int depositId, const QVariantList &damages, bool keepRest, bool invoiceRest);
    // Carries the plan out, all or nothing, dated `date`; the refund is paid by `method`.
    Q_INVOKABLE bool settle(int depositId, const QVariantList &damages, bool keepRest,
        bool invoiceRest, const QString &date, const QString &method, const QString &ref);
    // The settled deposit as its statement prints it: the deposit, each deduction, the refund.
    Q_INVOKABLE QVariantMap statement(int depositId);

    QString lastRefusal() const { return m_lastRefusal; }

signals:
    void outcomeChanged();

private:
    bool refuse(const QString &why);

    QString m_lastRefusal;
};
