#include "vouchermodel.h"

#include "amountinwords.h"
#include "database.h"
#include "inputconverter.h"
#include "money.h"
#include "recordsearch.h"

using namespace Qt::StringLiterals;

namespace {

const QString listedSql
    = u"SELECT v.*, c.code AS currency_code, c.symbol AS currency_symbol, "
      "c.name_ar AS currency_name FROM vouchers v LEFT JOIN currencies c ON c.id=COALESCE("
      "v.currency_id, (SELECT id FROM currencies WHERE is_primary=1 ORDER BY id LIMIT 1)) "_s;

const QString matchSql = u"WHERE (COALESCE(?, '') = '' OR v.number LIKE ? ESCAPE '\\' "
                         "OR v.party_name LIKE ? ESCAPE '\\' OR v.purpose LIKE ? ESCAPE '\\' "
                         "OR (? > 0 AND CAST(round(v.amount * 100) AS INTEGER) = ?)) "_s;

QVariantList matchParams(const QString &text)
{
    const QString typed = InputConverter::normalized(text);
    const QString like = RecordSearch::containsPattern(text);
    bool isAmount = false;
    const double amount = QString(typed).remove(u',').toDouble(&isAmount);
    const qint64 cents = isAmount ? Money::cents(amount) : 0;
    return { typed, like, like, like, cents, cents };
}

QString methodText(const QVariantMap &voucher)
{
    const QString method = voucher.value(u"method"_s).toString();
    const QString reference = voucher.value(u"reference"_s).toString();
    if (method == u"cheque"_s) {
        QStringList parts { u"شيك"_s };
        if (!reference.isEmpty())
            parts.append(u"رقم "_s + reference);
        const QString bank = voucher.value(u"bank_name"_s).toString();
        if (!bank.isEmpty())
            parts.append(bank.startsWith(u"بنك"_s) ? bank : u"بنك "_s + bank);
        if (!voucher.value(u"cheque_due"_s).toString().isEmpty())
            parts.append(u"يستحق "_s + voucher.value(u"cheque_due"_s).toString());
        return parts.join(u" - "_s);
    }
    if (method == u"bank"_s)
        return reference.isEmpty() ? u"تحويل بنكي"_s : u"تحويل بنكي - مرجع "_s + reference;
    if (method == u"deposit"_s)
        return u"من التأمين"_s;
    return reference.isEmpty() ? u"نقداً"_s : u"نقداً - "_s + reference;
}

} // namespace

VoucherModel::VoucherModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList VoucherModel::search(const QString &text, int limit, int offset)
{
    return list(
        listedSql + matchSql + u"ORDER BY v.voucher_date DESC, v.id DESC LIMIT ? OFFSET ?"_s,
        matchParams(text) + QVariantList { qMax(0, limit), qMax(0, offset) });
}

int VoucherModel::count(const QString &text)
{
    return intFigure(
        u"SELECT COUNT(*) AS n FROM vouchers v "_s + matchSql, u"n"_s, matchParams(text));
}

QVariantMap VoucherModel::getById(int id)
{
    QVariantMap voucher = one(listedSql + u"WHERE v.id=?"_s, { id });
    if (voucher.isEmpty())
        return voucher;
    const bool receipt = voucher.value(u"kind"_s).toString() == u"receipt"_s;
    voucher.insert(u"title"_s, receipt ? u"سند قبض"_s : u"سند صرف"_s);
    voucher.insert(u"amount_words"_s,
        AmountInWords::text(voucher.value(u"amount"_s).toDouble(),
            voucher.value(u"currency_code"_s).toString(),
            voucher.value(u"currency_name"_s).toString()));
    voucher.insert(u"method_text"_s, methodText(voucher));
    return voucher;
}

QVariantMap VoucherModel::forPrint(int id)
{
    if (!permitted(Operation::Print))
        return {};
    QVariantMap voucher = getById(id);
    if (voucher.isEmpty()
        || !m_db->execNonQuery(
            u"UPDATE vouchers SET print_count=print_count+1 WHERE id=?"_s, { id }))
        return {};
    voucher.insert(u"copy"_s, voucher.value(u"print_count"_s).toInt() > 0);
    return voucher;
}

int VoucherModel::latestFor(const QString &source, int sourceId)
{
    return intFigure(u"SELECT id FROM vouchers WHERE source=? AND source_id=? "
                     "ORDER BY id DESC LIMIT 1"_s,
        u"id"_s, { source, sourceId });
}
