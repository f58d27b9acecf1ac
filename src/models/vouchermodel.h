#pragma once

#include "modelbase.h"

// The receipt and payment vouchers as the interface lists and prints them.
class VoucherModel : public ModelBase
{
    Q_OBJECT
public:
    explicit VoucherModel(Database *db, QObject *parent = nullptr);

    // Newest first, `limit` rows from `offset`: those whose number or counterpart contains
    // `text`, or whose amount is the typed amount (digits in any script).
    Q_INVOKABLE QVariantList search(const QString &text, int limit, int offset = 0);
    Q_INVOKABLE int count(const QString &text);
    // The voucher with its currency, the amount in Arabic words and the method in words; empty
    // when missing.
    Q_INVOKABLE QVariantMap getById(int id);
    // The voucher as it is printed now: "copy" tells whether it was printed before, and this
    // print is counted.
    Q_INVOKABLE QVariantMap forPrint(int id);
    // The newest voucher recorded for a row of `source` (installment, expense, contractor,
    // deposit...), or 0.
    Q_INVOKABLE int latestFor(const QString &source, int sourceId);
};
