#include "journalexport.h"

#include "database.h"
#include "money.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

QString topLevel(const QString &type)
{
    if (type == u"asset"_s)
        return u"assets"_s;
    if (type == u"liability"_s)
        return u"liabilities"_s;
    if (type == u"equity"_s)
        return u"equity"_s;
    if (type == u"revenue"_s)
        return u"revenues"_s;
    return u"expenses"_s;
}

QString typeTag(const QString &type)
{
    if (type == u"asset"_s)
        return u"A"_s;
    if (type == u"liability"_s)
        return u"L"_s;
    if (type == u"equity"_s)
        return u"E"_s;
    if (type == u"revenue"_s)
        return u"R"_s;
    return u"X"_s;
}

QString amount(qint64 cents, const QString &commodity)
{
    return QString::number(Money::fromCents(cents), 'f', 2) + u" "_s + commodity;
}

// hledger reads a single space as part of a name; colons separate its levels, so they and
// tabs are kept out of the names.
QString plain(const QString &text)
{
    QString out = text.simplified();
    out.replace(u':', u'-');
    out.replace(u';', u',');
    return out;
}

// A ranged journal starts from what the accounts held the day before: the balance-sheet
// accounts each with its own balance, the earlier profit or loss in equity, so that hledger's
// balance sheet matches the program's at any date and its income statement covers the range.
QString opening(Database *db, const QString &from, const QString &primary)
{
    const QVariantList held = db->execQuery(
        u"SELECT a.code, a.name_ar, a.type, ROUND(SUM(jl.debit) - SUM(jl.credit), 2) as net "
        "FROM journal_lines jl JOIN journal_entries je ON je.id=jl.entry_id JOIN accounts a ON "
        "a.id=jl.account_id WHERE date(je.entry_date) < ? GROUP BY a.id ORDER BY a.code"_s,
        { from });
    const QVariantMap equity = Database::firstRow(db->execQuery(
        u"SELECT code, name_ar FROM accounts WHERE type='equity' ORDER BY code LIMIT 1"_s));
    QString postings;
    qint64 earned = 0;
    for (const QVariant &row : held) {
        const QVariantMap account = row.toMap();
        const QString type = account.value(u"type"_s).toString();
        const qint64 cents = Money::cents(account.value(u"net"_s).toDouble());
        if (cents == 0)
            continue;
        if (type == u"revenue"_s || type == u"expense"_s) {
            earned += cents;
            continue;
        }
        if (type == u"equity"_s && account.value(u"code"_s) == equity.value(u"code"_s)) {
            earned += cents;
            continue;
        }
        postings += u"    "_s
            + JournalExport::accountName(
                type, account.value(u"code"_s).toString(), account.value(u"name_ar"_s).toString())
            + u"  "_s + amount(cents, primary) + u"\n"_s;
    }
    if (earned != 0 && !equity.isEmpty())
        postings += u"    "_s
            + JournalExport::accountName(u"equity"_s, equity.value(u"code"_s).toString(),
                equity.value(u"name_ar"_s).toString())
            + u"  "_s + amount(earned, primary) + u"\n"_s;
    if (postings.isEmpty())
        return QString();
    return u"\n"_s + from + u" (opening) أرصدة افتتاحية\n"_s + postings;
}

} // namespace

QString JournalExport::accountName(const QString &type, const QString &code, const QString &name)
{
    return topLevel(type) + u":"_s + plain(code) + u" "_s + plain(name);
}

QString JournalExport::text(Database *db, const QString &from, const QString &to)
{
    const QString primary
        = Database::firstRow(db->execQuery(u"SELECT code FROM currencies WHERE is_primary=1"_s))
              .value(u"code"_s)
              .toString();
    QString out = u"; Belvardino journal"_s;
    if (!from.isEmpty() || !to.isEmpty())
        out += u", from %1 to %2"_s.arg(
            from.isEmpty() ? u"the start"_s : from, to.isEmpty() ? u"the end"_s : to);
    out += u"\n\ncommodity 1000.00 "_s + primary + u"\n"_s;
    for (const QVariant &row : db->execQuery(u"SELECT code FROM currencies WHERE is_primary=0"_s))
        out += u"commodity 1000.00 "_s + row.toMap().value(u"code"_s).toString() + u"\n"_s;
    out += u"\n"_s;
    for (const QVariant &row :
        db->execQuery(u"SELECT code, name_ar, type FROM accounts ORDER BY code"_s)) {
        const QVariantMap account = row.toMap();
        const QString type = account.value(u"type"_s).toString();
        out += u"account "_s
            + accountName(
                type, account.value(u"code"_s).toString(), account.value(u"name_ar"_s).toString())
            + u"  ; type: "_s + typeTag(type) + u"\n"_s;
    }

    if (!from.isEmpty())
        out += opening(db, from, primary);

    const QVariantList lines = db->execQuery(
        u"SELECT je.id as entry_id, date(je.entry_date) as day, je.description as entry_text, "
        "je.reference_type, je.reference_id, c.code as currency, COALESCE(je.rate, 1) as rate, "
        "a.code, a.name_ar, a.type, jl.debit, jl.credit, jl.original_amount "
        "FROM journal_entries je JOIN journal_lines jl ON jl.entry_id=je.id "
        "JOIN accounts a ON a.id=jl.account_id LEFT JOIN currencies c ON c.id=je.currency_id "
        "WHERE (?='' OR date(je.entry_date) >= ?) AND (?='' OR date(je.entry_date) <= ?) "
        "ORDER BY date(je.entry_date), je.id, jl.id"_s,
        { from.isNull() ? u""_s : from, from, to.isNull() ? u""_s : to, to });
    int current = -1;
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        const int entry = line.value(u"entry_id"_s).toInt();
        if (entry != current) {
            current = entry;
            const QString reference = line.value(u"reference_type"_s).toString();
            out += u"\n"_s + line.value(u"day"_s).toString() + u" ("_s
                + plain(reference.isEmpty() ? u"entry"_s : reference) + u":"_s
                + QString::number(line.value(u"reference_id"_s).toInt()) + u"/"_s
                + QString::number(entry) + u") "_s + plain(line.value(u"entry_text"_s).toString())
                + u"\n"_s;
        }
        const qint64 signedCents = Money::cents(line.value(u"debit"_s).toDouble())
            - Money::cents(line.value(u"credit"_s).toDouble());
        const QString currency = line.value(u"currency"_s).toString();
        QString posting = u"    "_s
            + accountName(line.value(u"type"_s).toString(), line.value(u"code"_s).toString(),
                line.value(u"name_ar"_s).toString())
            + u"  "_s;
        if (!currency.isEmpty() && currency != primary
            && !line.value(u"original_amount"_s).isNull()) {
            // The line's own amount, priced at what it was converted to.
            const qint64 original = Money::cents(line.value(u"original_amount"_s).toDouble());
            posting += amount(signedCents < 0 ? -original : original, currency) + u" @@ "_s
                + amount(qAbs(signedCents), primary);
        } else {
            posting += amount(signedCents, primary);
        }
        out += posting + u"\n"_s;
    }
    return out;
}

bool JournalExport::write(Database *db, const QString &path, const QString &from, const QString &to)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(text(db, from, to).toUtf8());
    return file.commit();
}
