#pragma once

#include "modelbase.h"

// The cheque register: cheques received and issued, what each one pays, and its life. A received
// cheque goes pending → deposited → paid (cleared), or bounces (also after clearing), or goes
// back to the drawer (returned); an issued one goes pending → paid (cashed) or cancelled.
class ChequeModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused operation was refused, as a sentence for the user.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
    // What the last successful move did, as a short line for the user.
    Q_PROPERTY(QString lastDone READ lastDone NOTIFY outcomeChanged)
public:
    explicit ChequeModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    // The SELECT of the listed rows (currency, party, what each pays, replacements), unordered.
    static QString listedRows();
    // One cheque as the register lists it, or an empty map.
    Q_INVOKABLE QVariantMap getListed(int id);
    // Per status: status, count and total (amounts as recorded, whatever their currency).
    Q_INVOKABLE QVariantList statusTotals();
    Q_INVOKABLE int add(const QString &num, const QString &type, double amount, const QString &bank,
        const QString &dueDate, const QString &payerPayee, int currId, double exchangeRate,
        int buyerId = 0, int tenantId = 0);
    // Moves the cheque along its life by the status's name ("paid", "cleared" and "cashed" name
    // the same step), through the operations below.
    Q_INVOKABLE bool updateStatus(int id, const QString &status);
    // Corrects a cheque that has not reached the bank yet.
    Q_INVOKABLE bool update(int id, const QString &num, double amount, const QString &bank,
        const QString &dueDate, const QString &payerPayee);
    Q_INVOKABLE QVariantList getByType(const QString &type);
    Q_INVOKABLE QVariantList getByStatus(const QString &status);
    Q_INVOKABLE QVariantList getPending();
    Q_INVOKABLE QVariantList getPostDated();

    // Whether a cheque of `type` may move from status `from` to `to`.
    Q_INVOKABLE bool canMove(const QString &type, const QString &from, const QString &to) const;
    static bool allowed(const QString &type, const QString &from, const QString &to);

    // Records only the day it went to the bank.
    Q_INVOKABLE bool deposit(int id);
    // The money arrived: a linked cheque records the payment or collection it stands for.
    Q_INVOKABLE bool clear(int id);
    // reason: one of bounceReasons()' keys. Reverses what clearing recorded, charges the bounce
    // fee, and leaves the cheque waiting for a replacement or a payment.
    Q_INVOKABLE bool bounce(int id, const QString &reason, const QString &note = QString());
    Q_INVOKABLE bool returnToDrawer(int id);
    Q_INVOKABLE bool cancel(int id);
    // A new pending cheque for a bounced one, paying what it paid. Returns its id, -1 on failure.
    Q_INVOKABLE int replace(int bouncedId, const QString &num, double amount, const QString &bank,
        const QString &dueDate);

    // Links a pending received cheque to what it pays (replacing an earlier link).
    Q_INVOKABLE bool linkInvoices(int id, const QVariantList &invoiceIds);
    Q_INVOKABLE bool linkLease(int id, int contractId);
    Q_INVOKABLE bool linkInstallment(int id, int installmentId);

    // `count` post-dated cheques from the lease's tenant, one per rent period from `firstDate`.
    // Returns how many were recorded, or -1.
    Q_INVOKABLE int receiveLeaseCheques(int contractId, int count, const QString &firstDate,
        double amount, const QString &bank, const QString &firstNumber);

    Q_INVOKABLE QVariantList bounceReasons() const;
    // Each status the cheque reached, oldest first: status, event_date, operator, note.
    Q_INVOKABLE QVariantList history(int id);
    // Received cheques waiting to be deposited from today to `days` days ahead: "days" (per due
    // date and currency) and "banks" (per bank and currency), each with count and total.
    Q_INVOKABLE QVariantMap calendar(int days);
    // Bounced cheques that no replacement or later payment has settled yet.
    Q_INVOKABLE QVariantList getUnsettledBounces();
    static QVariantList unsettledBounces(Database *db);

    // The number of the index-th cheque of a series: consecutive after a numeric first number;
    // otherwise only the first carries what was typed.
    static QString seriesNumber(const QString &first, int index);
    // A pending received cheque linked as `links` says (contract_id, installment_id, tenant_id,
    // buyer_id); for operations that already hold a transaction. Returns the id, -1 on failure.
    static int recordReceived(Database *db, const QString &num, double amount, const QString &bank,
        const QString &dueDate, const QString &payer, const QVariant &currencyId,
        const QVariantMap &links);

    QString lastRefusal() const { return m_lastRefusal; }
    QString lastDone() const { return m_lastDone; }

signals:
    void outcomeChanged();

private:
    bool refuse(const QString &why);
    void succeed(const QString &done);
    // The cheque with its party's name, or an empty map (refused) when it does not exist or may
    // not move to `to`.
    QVariantMap movable(int id, const QString &to);
    bool moveTo(int id, const QString &status, const QString &note);
    bool recordEvent(int id, const QString &status, const QString &note);
    bool recordClearing(const QVariantMap &cheque);
    bool undoClearing(const QVariantMap &cheque, const QString &why);
    bool chargeBounceFee(const QVariantMap &cheque);
    bool simpleMove(int id, const QString &status);
    bool link(int id, const QVariant &contractId, const QVariant &installmentId,
        const QVariantList &invoiceIds);

    QString m_lastRefusal;
    QString m_lastDone;
};
