#pragma once

#include <QString>
#include <QVariant>

class Database;

// Issues the numbered vouchers that go with money received (سند قبض) or paid out (سند صرف). It
// runs inside the transaction of the operation that moves the money, so a number is taken only
// when the whole operation is stored: numbers per kind and calendar year follow each other
// without gaps, and a voucher is never deleted (a void one keeps its number and its reason).
class VoucherBook
{
public:
    enum class Kind
    {
        Receipt,
        Payment
    };

    struct Entry
    {
        Kind kind = Kind::Receipt;
        // "yyyy-MM-dd"; its year numbers the voucher.
        QString date;
        // tenant, buyer, contractor or free; the name is read from the party's row when empty.
        QString partyType = QStringLiteral("free");
        int partyId = 0;
        QString partyName;
        double amount = 0;
        int currencyId = 0;
        QString purpose;
        // cash, bank or cheque, with the transfer reference or the cheque's number, bank and due
        // date.
        QString method;
        QString reference;
        QString bankName;
        QString chequeDue;
        // What recorded the money: payment, down_payment, installment, expense, contractor,
        // deposit, deposit_refund; and the row it points at.
        QString source;
        int sourceId = 0;
    };

    explicit VoucherBook(Database *db);

    // The new voucher's id, or -1 (nothing written).
    int issue(const Entry &entry);
    // Marks a valid voucher void with the reason; false when it is missing or void already.
    bool cancel(int voucherId, const QString &reason);

    // RCV-2026-00001 and PAY-2026-00001.
    static QString number(Kind kind, int year, int serial);
    static QString kindName(Kind kind);

private:
    Database *m_db;
};
