#pragma once

#include "modelbase.h"

// Tenant invoices: listing, custom invoices, monthly rent and service runs, voiding, and the
// "INV-yyyyMM-nnnn" numbering. Issuing raises the tenant's balance by the invoice total.
class InvoiceModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused operation was refused, as a sentence for the user; empty after a
    // success.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
    // What the last rent or service run did: "period", "issued" and "skipped" row lists (each
    // row with tenant_name, unit_number, amount or reason), and the "alreadyBilled" count.
    Q_PROPERTY(QVariantMap lastRunReport READ lastRunReport NOTIFY outcomeChanged)
public:
    explicit InvoiceModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    // The first `limit` rows of getAll, for a page that shows a large history a screenful at a
    // time.
    Q_INVOKABLE QVariantList getLatest(int limit);
    // The rows of getLatest whose number, tenant, property or unit number contain `text` (digits in
    // any script) and whose issue date lies from `from` to `to` inclusive ("yyyy-MM-dd"; empty or
    // malformed leaves that end open).
    Q_INVOKABLE QVariantList search(
        const QString &text, const QString &from, const QString &to, int limit);
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE QVariantList getItems(int invoiceId);
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    Q_INVOKABLE int createInvoice(
        int tenantId, int unitId, const QString &period, const QVariantList &items, int currencyId);
    Q_INVOKABLE bool updatePaidAmount(int id, double amount);
    Q_INVOKABLE bool voidInvoice(int id);
    // The reason is required and kept in the invoice's notes.
    Q_INVOKABLE bool voidInvoice(int id, const QString &reason);
    // What voiding would do: the invoice, the tenant's balance before and after, and "refusal"
    // (empty when it may be voided).
    Q_INVOKABLE QVariantMap voidPreview(int id);

    Q_INVOKABLE int generateAllRent(const QString &period);
    Q_INVOKABLE int generateServiceInvoice(const QVariantList &tenantIds,
        const QString &serviceName, double amount, const QString &period, int currencyId);
    Q_INVOKABLE int generatePropertyServiceInvoice(int propertyId, const QString &serviceName,
        double amount, const QString &period, int currencyId);

    // For each unit of the property whose rent invoice for `period` was issued before its meter
    // readings were entered: one service invoice with the readings not billed yet. Returns the
    // count issued; lastRunReport as for a run.
    Q_INVOKABLE int billLateReadings(int propertyId, const QString &period);
    // Charges the late-fee policy on `date` ("yyyy-MM-dd"): each open invoice past due by more
    // than the grace days gets a late-fee invoice of its own, each open installment a note and
    // a charge to its buyer; nothing is charged twice. Returns the count charged; lastRunReport
    // lists them ("issued") and what was passed over ("skipped").
    Q_INVOKABLE int applyLateFees(const QString &date);

    QString lastRefusal() const { return m_lastRefusal; }
    QVariantMap lastRunReport() const { return m_lastRunReport; }

signals:
    void outcomeChanged();

private:
    // Refuses, with its reason, a service run for a bad period or amount.
    bool acceptsServiceRun(const QString &period, double amount);
    struct Draft;
    struct Numbering;

    QString nextInvoiceNumber();
    Numbering startNumbering();
    struct Queued;
    // The invoice's total, or false (refused with the reason) when a line's amount cannot be
    // kept.
    bool checkedTotal(const Draft &draft, double *total);
    // `postLater`: the caller posts the invoice to the books itself, with its run's others.
    int issue(const Draft &draft, Numbering *carried, bool postLater = false);
    // A server's rent run: the invoices in a few multi-row statements a chunk at a time, each
    // chunk a savepoint; a chunk that fails is issued again one invoice at a time. Each entry's
    // id (or refusal) is set; posting is left to the caller.
    void issueMany(QList<Queued> &queued, Numbering *numbering);
    bool issueChunk(const QList<Queued *> &chunk, Numbering *numbering);
    bool hasRentFor(const QVariant &tenantId, const QVariant &contractId, const QString &period);
    bool hasServiceFor(const QVariant &tenantId, const QVariant &unitId, const QString &serviceName,
        const QString &period);
    QString voidRefusal(const QVariantMap &invoice) const;
    bool voidWithReason(int id, const QString &reason);
    int runService(const QList<QPair<int, int>> &targets, const QString &serviceName, double amount,
        const QString &period, int currencyId);
    // The late fee of `openCents` in currency `currencyId` under `policy`, in cents; 0 with
    // *why set when it cannot be charged.
    qint64 lateFeeCents(const QVariantMap &policy, qint64 openCents, const QVariant &currencyId,
        const QString &date, QString *why);
    void refuse(const QString &why);
    void settle(const QVariantMap &report = {});

    QString m_lastRefusal;
    QVariantMap m_lastRunReport;
};
