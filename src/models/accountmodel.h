#pragma once

#include "modelbase.h"

// The chart of accounts and the double-entry journal. Each posted line moves its account's
// balance by debit minus credit, whatever the account type.
class AccountModel : public ModelBase
{
    Q_OBJECT
public:
    explicit AccountModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE int add(
        const QString &code, const QString &name, const QString &type, int parentId);
    // Only the name: the code and type decide postings and reports.
    Q_INVOKABLE bool rename(int id, const QString &name);
    Q_INVOKABLE QVariantList getJournalEntries(
        const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE int createJournalEntry(const QString &date, const QString &desc,
        const QString &refType, int refId, const QVariantList &lines);
    Q_INVOKABLE QVariantMap getProfitLoss(const QString &from, const QString &to);
    Q_INVOKABLE QVariantMap getBalanceSheet();

    // Automatic posting of the operations (administrator): the setting, what the history still
    // holds unposted, and posting it (reports historyProgress; returns the entries written or -1).
    Q_INVOKABLE bool autoPosting();
    Q_INVOKABLE bool setAutoPosting(bool on);
    Q_INVOKABLE int unpostedCount();
    Q_INVOKABLE int postHistory();
    // Rows of role, title, code, account_id, account_name, default_code.
    Q_INVOKABLE QVariantList postingMapping();
    Q_INVOKABLE bool setPostingAccount(const QString &role, const QString &code);

    // Nothing dated on or before the lock date is written; empty when none is set.
    Q_INVOKABLE QString lockDate();
    // Administrator only; an empty date lifts the lock.
    Q_INVOKABLE bool setLockDate(const QString &date);

    // Every account with its debit and credit totals and balance up to `date` (empty: all),
    // under "rows", with "debit" and "credit" totals.
    Q_INVOKABLE QVariantMap getTrialBalance(const QString &date = QString());
    // One account from `from` to `to`: "opening", "rows" (each line with its entry and running
    // "balance"), "closing", and the account's "code" and "name".
    Q_INVOKABLE QVariantMap getLedger(int accountId, const QString &from, const QString &to);
    // The ledger as a printable document (PrintController::printDocument).
    Q_INVOKABLE QVariantMap ledgerDocument(int accountId, const QString &from, const QString &to);
    // Entries newest first, `limit` from `offset`, filtered by date range, an account and a
    // reference type (empty or 0: any).
    // The SELECT of the listed journal entries, unordered: each with its amount, its lines as
    // "name:debit:credit" items joined by "," and the title of its operation.
    static QString journalRows();
    Q_INVOKABLE QVariantList getJournalPage(const QString &from, const QString &to, int accountId,
        const QString &refType, int offset, int limit);
    Q_INVOKABLE int countJournal(
        const QString &from, const QString &to, int accountId, const QString &refType);
    // The entry with its "lines" (account code and name, debit, credit, original amount) and
    // "operation", a sentence naming the operation it came from.
    Q_INVOKABLE QVariantMap getEntry(int entryId);
    // The reference types present, with their Arabic titles: rows of type, title.
    Q_INVOKABLE QVariantList referenceTypes();
    // Writes the hledger journal of the range to `path`.
    Q_INVOKABLE bool exportJournal(const QString &path, const QString &from, const QString &to);
    // The same into the documents folder under a new name; returns its path, empty on failure.
    Q_INVOKABLE QString exportJournalToDocuments(const QString &from, const QString &to);

signals:
    void historyProgress(int done, int total);
};
