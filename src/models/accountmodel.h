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
};
