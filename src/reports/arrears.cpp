#include "arrears.h"

#include "database.h"
#include "figures.h"
#include "money.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int bucketCount = 5;

const std::array<QString, bucketCount> &keys()
{
    static const std::array<QString, bucketCount> all
        = { u"current"_s, u"d30"_s, u"d60"_s, u"d90"_s, u"over90"_s };
    return all;
}

// Every charge and credit of every account with its property and currency, and the open part of
// each charge with its days past due. `balance` adds up to the account statement's balance, the
// buckets to the amounts still owed item by item; the two differ by what the account credits
// without naming an item. The SQL mirrors the statements' own (ReportController::getTenantAccount
// and getBuyerAccount), so the balances agree by construction. Charges and credits are added up
// as bare amounts and the open items apart: most invoices are paid, and grouping a narrow row
// per invoice and payment costs a fraction of carrying every bucket through the sort.
QString agingSql()
{
    QString buckets;
    QString none;
    QString outer;
    const std::array<QString, bucketCount> bounds = { u"late < 1"_s, u"late >= 1 AND late < 31"_s,
        u"late >= 31 AND late < 61"_s, u"late >= 61 AND late < 91"_s, u"late >= 91"_s };
    for (int k = 0; k < bucketCount; ++k) {
        const QString key = keys()[k];
        buckets += u", SUM(CASE WHEN %1 THEN open ELSE 0 END) AS %2"_s.arg(bounds[k], key)
            + u", SUM(CASE WHEN %1 THEN open_primary ELSE 0 END) AS %2_p"_s.arg(bounds[k], key);
        none += u", 0 AS %1, 0 AS %1_p"_s.arg(key);
        outer += u", SUM(%1) AS %1, SUM(%1_p) AS %1_p"_s.arg(key);
    }
    const QString installmentOpen = u"(i.installment_amount - i.paid_amount)"_s;
    const QString down = u"(u.sale_price_actual - COALESCE((SELECT SUM(installment_amount) FROM "
                         "installments WHERE unit_id=u.id AND buyer_id=u.buyer_id),0))"_s;
    const QString saleCurrency = u"COALESCE((SELECT currency_id FROM installments WHERE "
                                 "unit_id=u.id AND buyer_id=u.buyer_id LIMIT 1), u.currency_id)"_s;
    const QString account = u" WHERE (?='' OR kind=?) AND (?=0 OR person=?) "
                            "GROUP BY kind, person, property, currency"_s;
    return u"WITH d AS (SELECT julianday(?) AS today, (SELECT id FROM currencies WHERE "
           "is_primary=1) AS prim), "
           "net AS ("
           "SELECT 'tenant' AS kind, i.tenant_id AS person, u.property_id AS property, "
           "COALESCE(i.currency_id, d.prim) AS currency, i.total_amount AS amount "
           "FROM invoices i CROSS JOIN d LEFT JOIN units u ON u.id=i.unit_id "
           "WHERE i.tenant_id IS NOT NULL AND i.status!='void' "
           "UNION ALL SELECT 'tenant', p.tenant_id, u.property_id, "
           "COALESCE(p.currency_id, inv.currency_id, d.prim), -p.amount "
           "FROM payments p CROSS JOIN d LEFT JOIN invoices inv ON inv.id=p.invoice_id "
           "LEFT JOIN units u ON u.id=inv.unit_id "
           "WHERE p.tenant_id IS NOT NULL AND (inv.id IS NULL OR inv.status!='void') "
           "UNION ALL SELECT 'buyer', i.buyer_id, u.property_id, COALESCE(i.currency_id, d.prim), "
           "i.installment_amount FROM installments i CROSS JOIN d JOIN units u ON u.id=i.unit_id "
           "JOIN properties pr ON pr.id=u.property_id "
           "UNION ALL SELECT 'buyer', u.buyer_id, u.property_id, COALESCE("_s
        + saleCurrency + u", d.prim), "_s + down
        + u" FROM units u CROSS JOIN d JOIN properties pr ON pr.id=u.property_id "
          "WHERE u.buyer_id IS NOT NULL AND u.status='sold' "
          "UNION ALL SELECT 'buyer', p.buyer_id, u.property_id, COALESCE(p.currency_id, d.prim), "
          "-p.amount FROM payments p CROSS JOIN d LEFT JOIN units u ON u.id=p.unit_id "
          "WHERE p.buyer_id IS NOT NULL), "
          // What is still open, aged; an item with nothing open adds nothing to any bucket.
          "open AS ("
          "SELECT 'tenant' AS kind, i.tenant_id AS person, u.property_id AS property, "
          "COALESCE(i.currency_id, d.prim) AS currency, i.balance AS open, "
          "d.today - julianday(COALESCE(i.due_date, date(i.created_at))) AS late, "_s
        + Figures::inPrimary(u"i.balance"_s, u"i.currency_id"_s, u"i.created_at"_s)
        + u" AS open_primary FROM invoices i CROSS JOIN d LEFT JOIN units u ON u.id=i.unit_id "
          // Read through the index of open invoices, not the tenants' index over every invoice.
          "WHERE +i.tenant_id IS NOT NULL AND i.status!='paid' AND i.status!='void' "
          "UNION ALL SELECT 'buyer', i.buyer_id, u.property_id, COALESCE(i.currency_id, d.prim), "_s
        + installmentOpen + u", d.today - julianday(i.due_date), "_s
        + Figures::inPrimary(installmentOpen, u"i.currency_id"_s, u"i.due_date"_s)
        + u" FROM installments i CROSS JOIN d JOIN units u ON u.id=i.unit_id "
          "JOIN properties pr ON pr.id=u.property_id "
          "WHERE i.installment_amount != i.paid_amount "
          "UNION ALL SELECT 'buyer', u.buyer_id, u.property_id, COALESCE("_s
        + saleCurrency + u", d.prim), "_s + down + u", d.today - julianday(u.sale_date), "_s
        + Figures::inPrimary(down, saleCurrency, u"u.sale_date"_s)
        + u" FROM units u CROSS JOIN d JOIN properties pr ON pr.id=u.property_id "
          "WHERE u.buyer_id IS NOT NULL AND u.status='sold') "
          "SELECT g.*, COALESCE(t.full_name, b.full_name) AS name, COALESCE(t.phone, b.phone) "
          "AS phone, pr.name AS property_name, COALESCE(c.symbol, (SELECT symbol FROM "
          "currencies WHERE is_primary=1), '₪') AS currency_symbol, "
          "COALESCE(c.is_primary, 1) AS is_primary FROM ("
          "SELECT kind, person, property, currency, SUM(balance) AS balance"_s
        + outer + u" FROM (SELECT kind, person, property, currency, SUM(amount) AS balance"_s + none
        + u" FROM net"_s + account + u" UNION ALL SELECT kind, person, property, currency, 0"_s
        + buckets + u" FROM open"_s + account
        + u") a GROUP BY kind, person, property, currency) g "
          "LEFT JOIN tenants t ON g.kind='tenant' AND t.id=g.person "
          "LEFT JOIN buyers b ON g.kind='buyer' AND b.id=g.person "
          "LEFT JOIN properties pr ON pr.id=g.property "
          "LEFT JOIN currencies c ON c.id=g.currency "
          "ORDER BY g.kind, g.person, g.currency, g.property IS NULL, g.property"_s;
}

struct Row
{
    QVariantMap info;
    std::array<qint64, bucketCount> cents {};
    // The rate each bucket's amounts were converted at, as their converted sum over their sum.
    std::array<double, bucketCount> rate {};
    qint64 balance = 0;
};

// The latest known rate of each currency to the primary one, for amounts with no date of their
// own (a credit left over once everything is settled).
QHash<int, double> latestRates(Database *db)
{
    QHash<int, double> rates;
    const QVariantList list = db->execQuery(u"SELECT c.id, "_s
        + Figures::inPrimary(u"1"_s, u"c.id"_s, u"date('now','localtime')"_s)
        + u" AS rate FROM currencies c"_s);
    for (const QVariant &item : list)
        rates.insert(item.toMap().value(u"id"_s).toInt(), item.toMap().value(u"rate"_s).toDouble());
    return rates;
}

// Rows of the aging query, one account's credit not tied to an item spread over its oldest
// amounts first. A remainder the items do not explain (a credit larger than everything owed, or
// a charge with no item) stays in "not yet due", so the buckets always add up to the balance.
// `brief` keeps only what the figures need: the summary reads every account at once, and the
// names and labels of tens of thousands of rows were most of its memory.
QList<Row> agedRows(
    Database *db, const QString &kind, int personId, const QDate &today, bool brief = false)
{
    const QString anyKind = kind.isEmpty() ? u""_s : kind;
    const QVariantList account { anyKind, anyKind, personId, personId };
    const QVariantList params = QVariantList { today.toString(Qt::ISODate) } + account + account;
    QStringList figures { u"kind"_s, u"person"_s, u"currency"_s, u"balance"_s };
    for (const QString &key : keys())
        figures << key << key + u"_p"_s;
    const QVariantList list = brief ? db->execQueryColumns(agingSql(), params, figures)
                                    : db->execQuery(agingSql(), params);
    const QHash<int, double> rates = latestRates(db);

    QList<Row> rows;
    for (const QVariant &item : list) {
        const QVariantMap map = item.toMap();
        Row row;
        row.info = map;
        row.balance = Money::cents(map.value(u"balance"_s).toDouble());
        const double fallback = rates.value(map.value(u"currency"_s).toInt(), 1.0);
        for (int k = 0; k < bucketCount; ++k) {
            const double amount = map.value(keys()[k]).toDouble();
            row.cents[k] = Money::cents(amount);
            row.rate[k]
                = row.cents[k] != 0 ? map.value(keys()[k] + u"_p"_s).toDouble() / amount : fallback;
        }
        rows.append(row);
    }

    // Accounts come in order of kind, person and currency; each group is settled on its own.
    for (qsizetype first = 0; first < rows.size();) {
        qsizetype end = first;
        qint64 balance = 0;
        qint64 items = 0;
        const auto sameAccount = [&](const Row &a, const Row &b) {
            return a.info.value(u"kind"_s) == b.info.value(u"kind"_s)
                && a.info.value(u"person"_s) == b.info.value(u"person"_s)
                && a.info.value(u"currency"_s) == b.info.value(u"currency"_s);
        };
        while (end < rows.size() && sameAccount(rows.at(first), rows.at(end))) {
            balance += rows.at(end).balance;
            for (qint64 c : rows.at(end).cents)
                items += c;
            ++end;
        }
        qint64 left = balance - items;
        for (int k = bucketCount - 1; k >= 0 && left < 0; --k) {
            for (qsizetype r = first; r < end && left < 0; ++r) {
                const qint64 settled = std::min(-left, std::max<qint64>(rows[r].cents[k], 0));
                rows[r].cents[k] -= settled;
                left += settled;
            }
        }
        rows[first].cents[0] += left;
        first = end;
    }
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                   [](const Row &row) {
                       return std::all_of(
                           row.cents.begin(), row.cents.end(), [](qint64 c) { return c == 0; });
                   }),
        rows.end());
    return rows;
}

QVariantMap rowMap(const Row &row)
{
    QVariantMap map;
    const QVariantMap &info = row.info;
    map.insert(u"kind"_s, info.value(u"kind"_s));
    map.insert(u"person_id"_s, info.value(u"person"_s).toInt());
    map.insert(u"name"_s, info.value(u"name"_s));
    map.insert(u"phone"_s, info.value(u"phone"_s));
    map.insert(u"property_id"_s, info.value(u"property"_s).toInt());
    map.insert(u"property_name"_s, info.value(u"property_name"_s).toString());
    map.insert(u"currency_id"_s, info.value(u"currency"_s).toInt());
    map.insert(u"currency_symbol"_s, info.value(u"currency_symbol"_s));
    map.insert(u"converted"_s, info.value(u"is_primary"_s).toInt() != 1);
    qint64 total = 0;
    double totalPrimary = 0;
    for (int k = 0; k < bucketCount; ++k) {
        const double primary = Money::round(Money::fromCents(row.cents[k]) * row.rate[k]);
        map.insert(keys()[k], Money::fromCents(row.cents[k]));
        map.insert(keys()[k] + u"_primary"_s, primary);
        total += row.cents[k];
        totalPrimary += primary;
    }
    map.insert(u"total"_s, Money::fromCents(total));
    map.insert(u"overdue"_s, Money::fromCents(total - row.cents[0]));
    map.insert(u"total_primary"_s, Money::round(totalPrimary));
    map.insert(u"overdue_primary"_s,
        Money::round(totalPrimary - map.value(u"current_primary"_s).toDouble()));
    return map;
}

// Sums of the bucket figures of `rows`, in cents, under the keys given.
void addInto(QVariantMap &sum, const QVariantMap &row, const QString &suffix)
{
    for (const QString &key : Arrears::buckets() + QStringList { u"overdue"_s, u"total"_s }) {
        const QString name = key + suffix;
        sum.insert(name,
            Money::fromCents(Money::cents(sum.value(name).toDouble())
                + Money::cents(row.value(name).toDouble())));
    }
}

QString primarySymbol(Database *db)
{
    return Database::firstRow(
        db->execQuery(u"SELECT COALESCE((SELECT symbol FROM currencies WHERE is_primary=1), "
                      "'₪') AS s"_s))
        .value(u"s"_s)
        .toString();
}

} // namespace

const QStringList &Arrears::buckets()
{
    static const QStringList all(keys().begin(), keys().end());
    return all;
}

QVariantList Arrears::rows(Database *db, int propertyId, const QString &sortKey, const QDate &today)
{
    QVariantList result;
    for (const Row &row : agedRows(db, QString(), 0, today)) {
        if (propertyId > 0 && row.info.value(u"property"_s).toInt() != propertyId)
            continue;
        result.append(rowMap(row));
    }
    const QString key
        = QStringList { u"name"_s, u"property"_s, u"total"_s, u"over90"_s }.contains(sortKey)
        ? sortKey
        : u"overdue"_s;
    const auto text = [](const QVariantMap &x, const QVariantMap &y, const QString &name) {
        return x.value(name).toString().localeAwareCompare(y.value(name).toString());
    };
    // Equal figures fall back to the name, then to the account's ids, so both backends (whose
    // rows may arrive in different orders) list ties alike.
    const auto ids = [](const QVariantMap &x, const QVariantMap &y) {
        for (const QString &name :
            { u"kind"_s, u"person_id"_s, u"currency_id"_s, u"property_id"_s }) {
            const QVariant a = x.value(name);
            const QVariant b = y.value(name);
            if (a != b)
                return name == u"kind"_s ? a.toString() < b.toString() : a.toInt() < b.toInt();
        }
        return false;
    };
    std::sort(result.begin(), result.end(), [&](const QVariant &a, const QVariant &b) {
        const QVariantMap x = a.toMap();
        const QVariantMap y = b.toMap();
        int order = 0;
        if (key == u"property"_s)
            order = text(x, y, u"property_name"_s);
        else if (key != u"name"_s)
            // Amounts compare in the primary currency, so a dollar and a shekel debt rank fairly.
            order = -Money::compare(
                x.value(key + u"_primary"_s).toDouble(), y.value(key + u"_primary"_s).toDouble());
        if (order == 0)
            order = text(x, y, u"name"_s);
        return order != 0 ? order < 0 : ids(x, y);
    });
    return result;
}

QVariantMap Arrears::report(
    Database *db, int propertyId, const QString &sortKey, const QDate &today)
{
    const QVariantList list = rows(db, propertyId, sortKey, today);
    QMap<QPair<QString, QString>, QVariantMap> byProperty;
    QMap<QString, QVariantMap> byCurrency;
    QVariantMap converted;
    for (const QVariant &item : list) {
        const QVariantMap row = item.toMap();
        const QString property = row.value(u"property_name"_s).toString();
        const QString symbol = row.value(u"currency_symbol"_s).toString();
        QVariantMap &propertySum = byProperty[{ property, symbol }];
        propertySum.insert(u"property_name"_s, property);
        propertySum.insert(u"currency_symbol"_s, symbol);
        addInto(propertySum, row, QString());
        QVariantMap &currencySum = byCurrency[symbol];
        currencySum.insert(u"currency_symbol"_s, symbol);
        addInto(currencySum, row, QString());
        addInto(converted, row, u"_primary"_s);
    }
    QVariantList propertyTotals;
    for (const QVariantMap &sum : std::as_const(byProperty))
        propertyTotals.append(sum);
    QVariantList totals;
    for (const QVariantMap &sum : std::as_const(byCurrency))
        totals.append(sum);
    const QString symbol = primarySymbol(db);
    QVariantMap primary;
    for (const QString &key : buckets() + QStringList { u"overdue"_s, u"total"_s })
        primary.insert(key, converted.value(key + u"_primary"_s, 0.0));
    primary.insert(u"currency_symbol"_s, symbol);
    return { { u"rows"_s, list }, { u"property_totals"_s, propertyTotals }, { u"totals"_s, totals },
        { u"total_primary"_s, primary }, { u"primary_symbol"_s, symbol },
        { u"note"_s,
            totals.size() > 1
                ? u"المبالغ بعملاتها؛ الإجمالي الموحد بـ%1 محوّل بسعر الصرف في تاريخ كل مبلغ"_s.arg(
                    symbol)
                : QString() } };
}

QVariantMap Arrears::summary(Database *db, const QDate &today)
{
    qint64 over30 = 0;
    QSet<QPair<QString, int>> over90;
    for (const Row &row : agedRows(db, QString(), 0, today, true)) {
        // As each bucket's figure in the primary currency is shown: rounded to the cent first.
        for (int k = 2; k < bucketCount; ++k)
            over30 += Money::cents(Money::round(Money::fromCents(row.cents[k]) * row.rate[k]));
        if (row.cents[bucketCount - 1] > 0)
            over90.insert(
                { row.info.value(u"kind"_s).toString(), row.info.value(u"person"_s).toInt() });
    }
    return { { u"over_30"_s, Money::fromCents(over30) },
        { u"accounts_over_90"_s, int(over90.size()) }, { u"primary_symbol"_s, primarySymbol(db) } };
}

QVariantList Arrears::account(Database *db, const QString &kind, int personId, const QDate &today)
{
    QVariantList result;
    for (const Row &row : agedRows(db, kind, personId, today))
        result.append(rowMap(row));
    return result;
}
