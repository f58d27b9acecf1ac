#pragma once

#include "modelbase.h"

// Money received from tenants against their invoices. A payment moves its amount from the
// invoice's balance to its paid amount and lowers the tenant's balance.
class PaymentModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused reversal was refused, as a sentence for the user.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
public:
    explicit PaymentModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    // The SELECT of the listed rows (payer, invoice, unit, what reversed it), unordered.
    static QString listedRows();
    // The first `limit` rows of getAll, for a page that shows a large history a screenful at a
    // time.
    Q_INVOKABLE QVariantList getLatest(int limit);
    // The rows of getLatest whose payer, invoice number, reference or unit number contain `text`
    // (digits in any script) and whose payment date lies from `from` to `to` inclusive
    // ("yyyy-MM-dd"; empty or malformed leaves that end open).
    Q_INVOKABLE QVariantList search(
        const QString &text, const QString &from, const QString &to, int limit);
    Q_INVOKABLE int add(int invoiceId, int tenantId, double amount, const QString &method,
        const QString &date, const QString &ref, int currId);
    // How one amount spreads over the tenant's chosen open invoices (all open ones when none is
    // chosen), oldest due first: rows of invoice_id, invoice_number, balance and amount. Empty
    // when the amount is not positive, exceeds what they owe, or the invoices differ in currency.
    Q_INVOKABLE QVariantList settlementPlan(
        int tenantId, const QVariantList &invoiceIds, double amount);
    // Records the plan as one payment per invoice, all or nothing, dated `date` (not later than
    // today). Returns how many payments were written, or -1.
    Q_INVOKABLE int settle(int tenantId, const QVariantList &invoiceIds, double amount,
        const QString &method, const QString &date, const QString &ref);
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    Q_INVOKABLE QVariantList getRecent(int limit = 10);
    // Undoes a tenant's payment with a stated reason: a payment of the opposite amount, dated
    // today, names it, and the invoice and the tenant owe the amount again. Returns the new row's
    // id, -1 when refused or failed.
    // An administrator's operation: the payment's receipt is kept, marked void with the reason.
    Q_INVOKABLE int reverse(int paymentId, const QString &reason);
    // The same without asking the session, for an operation that carries its own permission and
    // transaction (a bounced cheque undoing the payment its clearing recorded).
    int undo(int paymentId, const QString &reason);

    QString lastRefusal() const { return m_lastRefusal; }

signals:
    void outcomeChanged();

private:
    void refuse(const QString &why);
    // The payment row with the invoice and the tenant's balance, without its receipt; -1 when
    // refused.
    int record(int invoiceId, int tenantId, double amount, const QString &method,
        const QString &date, const QString &ref, int currId);
    // One receipt for payments of one tenant recorded together; the voucher's id or -1.
    int issueReceipt(const QList<int> &paymentIds);

    QString m_lastRefusal;
};
