#pragma once

#include <QString>
#include <QVariantList>
#include <functional>

class Database;

// How each operation reaches the journal: one table of rules (operation → entry lines), read by
// the live operations inside their own transaction and by the history run alike. An entry is in
// the primary currency at the rate of the operation's day; `reference_type` names the operation
// and `reference_id` its row.
class Posting
{
public:
    enum class Kind
    {
        Invoice,
        InvoiceVoid,
        TenantPayment,
        Sale,
        InstallmentCollection,
        Expense,
        ContractorPayment,
        DepositReceived,
        DepositSettled,
    };

    // Whether operations post by themselves (on for new databases, off for older ones).
    static bool isOn(Database *db);
    static bool setOn(Database *db, bool on);

    // Posts the row's entry when posting is on; true when posted or nothing was due. A failure
    // (a missing account, a closed period) is reported through the database's error signal with
    // refusalMarker() before the Arabic line, and the caller's transaction must fail.
    static bool post(Database *db, Kind kind, int rowId);
    // post() for many rows of one kind at once (a rent run's invoices), with a few statements
    // instead of a few per row; all or nothing with the caller's transaction.
    static bool postMany(Database *db, Kind kind, const QList<int> &rowIds);
    // After an edit: undoes what the row's entries hold, then posts it afresh.
    static bool repost(Database *db, Kind kind, int rowId);
    // Every operation not posted yet, in date order, in one transaction. Returns the count of
    // entries written, -1 on failure. `progress` hears (done, total) now and then.
    static int postHistory(Database *db, const std::function<void(int, int)> &progress = {});
    // How many operations postHistory would post.
    static int unposted(Database *db);

    // The mapping: rows of role, title, code, account_id, account_name, default_code.
    static QVariantList mapping(Database *db);
    static bool setAccount(Database *db, const QString &role, const QString &code);

    // The lines postHistory or post would write for the row: account_code, debit, credit (in
    // the primary currency), plus "rate". Empty when the row does not exist.
    static QVariantList preview(Database *db, Kind kind, int rowId);

    // Writes one balanced entry (a trigger moves the accounts' balances); lines carry
    // account_id, debit, credit, description and optionally original (the amount in
    // `currencyId`). Returns the entry's id, -1 when it does not balance or cannot be stored.
    // Runs inside the caller's transaction, which must fail with it.
    static int writeEntry(Database *db, const QString &date, const QString &description,
        const QString &refType, const QVariant &refId, const QVariantList &lines,
        const QVariant &currencyId = QVariant(), double rate = 1.0);

    static QString refTypeOf(Kind kind);
    // Starts the text of a refusal raised inside the books (the closed period's trigger and
    // the posting unit alike); what follows is the Arabic line for the user.
    static QString refusalMarker();
    // The Arabic line of a refusal the books raised, from a database error's text; empty for
    // any other error.
    static QString refusalText(Database *db, const QString &error);
};
