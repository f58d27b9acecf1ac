#include "figures.h"

#include "database.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// "(?=0 OR column=?)", with the property as the last two values, keeps SQLite from the column's
// index: a report asking property by property read the whole table each time. The condition
// becomes one of two plain texts instead.
void narrowToProperty(QString *sql, QVariantList *params)
{
    static const QRegularExpression either(u"\\(\\?=0 OR ([a-z_.]+)=\\?\\)"_s);
    const QRegularExpressionMatch match = either.match(*sql);
    if (!match.hasMatch() || params->size() < 2)
        return;
    const bool all = params->constLast().toInt() == 0;
    sql->replace(match.capturedStart(), match.capturedLength(),
        all ? u"TRUE"_s : match.captured(1) + u"=?"_s);
    params->removeAt(params->size() - 2);
    if (all)
        params->removeLast();
}

double total(Database *db, const QString &sql, const QVariantList &params)
{
    return Database::firstRow(db->execQuery(sql, params)).value(u"t"_s).toDouble();
}

double sum(Database *db, QString sql, QVariantList params)
{
    narrowToProperty(&sql, &params);
    return total(db, sql, params);
}

// Open ends of a range reach every day.
QString dayFrom(const QString &from) { return from.isEmpty() ? u"0000-01-01"_s : from; }
QString dayTo(const QString &to) { return to.isEmpty() ? u"9999-12-31"_s : to; }
// An empty text, never NULL, so that "?=''" holds for an unset day.
QString anyDay(const QString &day) { return day.isEmpty() ? u""_s : day; }

// Payments meeting `condition` (on `p`, with `params`) between two days, converted. On SQLite
// each row is converted as it is read (a row in the primary currency costs nothing more) and,
// from the start of the history, the table is read straight through: the day's index would add
// a row lookup per payment. A server adds up each currency's payments per stored date first and
// reads the day and the rate once per date (its date function is a call per row).
double paymentsTotal(Database *db, const QString &condition, QVariantList params,
    const QString &from, const QString &to)
{
    // The day is tested on the sums, never on the rows: the server would test it per row. A day
    // the server's date() reads is its stored text or that text's start, so no row on or after
    // `from` sorts before it as text: the index on the stored text leaves out the older rows.
    if (db->isServer()) {
        QString since;
        if (!from.isEmpty()) {
            since = u" AND p.payment_date >= ?"_s;
            params.append(from);
        }
        return total(db,
            u"SELECT COALESCE(SUM(CASE WHEN date(x.d) BETWEEN ? AND ? THEN "_s
                + Figures::inPrimary(u"x.s"_s, u"x.c"_s, u"x.d"_s)
                + u" END),0) as t FROM (SELECT p.currency_id AS c, p.payment_date AS d, "
                  "SUM(p.amount) AS s FROM payments p WHERE "_s
                + condition + since + u" GROUP BY p.currency_id, p.payment_date) x"_s,
            QVariantList { dayFrom(from), dayTo(to) } + params);
    }
    params << dayFrom(from) << dayTo(to);
    return total(db,
        u"SELECT COALESCE(SUM("_s
            + Figures::inPrimary(u"p.amount"_s, u"p.currency_id"_s, u"p.payment_date"_s)
            + u"),0) as t FROM payments p WHERE "_s + condition + u" AND "_s
            + (from.isEmpty() ? u"+"_s : QString()) + u"date(p.payment_date) BETWEEN ? AND ?"_s,
        params);
}

} // namespace

QString Figures::inPrimary(
    const QString &amountColumn, const QString &currencyColumn, const QString &dateColumn)
{
    return u"(%1 * CASE WHEN %2 IS NULL OR %2=(SELECT id FROM currencies WHERE is_primary=1) "
           "THEN 1 ELSE COALESCE((SELECT r.rate FROM exchange_rates r WHERE "
           "r.from_currency_id=%2 AND r.to_currency_id=(SELECT id FROM currencies WHERE "
           "is_primary=1) AND r.date<=date(%3) ORDER BY r.date DESC LIMIT 1), 1) END)"_s.arg(
               amountColumn, currencyColumn, dateColumn);
}

QStringList Figures::currenciesWithoutRate(Database *db)
{
    // Per currency, the oldest money against the oldest rate: one pass over each table, grouping
    // only the money in other currencies than the primary one (most rows are in it).
    const QString foreign = u"currency_id IN (SELECT id FROM currencies WHERE is_primary=0)"_s;
    const QVariantList rows = db->execQuery(
        u"SELECT c.code FROM (SELECT currency_id AS cur, MIN(payment_date) AS d FROM payments "
        "WHERE %1 GROUP BY currency_id UNION ALL SELECT currency_id, MIN(created_at) FROM "
        "invoices WHERE status!='void' AND %1 GROUP BY currency_id UNION ALL SELECT currency_id, "
        "MIN(expense_date) FROM expenses WHERE %1 GROUP BY currency_id UNION ALL SELECT "
        "currency_id, MIN(due_date) FROM installments WHERE status!='paid' AND %1 GROUP BY "
        "currency_id) m JOIN currencies c ON c.id=m.cur WHERE c.is_primary=0 GROUP BY c.id "
        "HAVING date(MIN(m.d)) < COALESCE((SELECT MIN(r.date) FROM exchange_rates r WHERE "
        "r.from_currency_id=c.id AND r.to_currency_id=(SELECT id FROM currencies WHERE "
        "is_primary=1)), '9999-12-31') ORDER BY c.code"_s.arg(foreign));
    QStringList codes;
    for (const QVariant &row : rows)
        codes.append(row.toMap().value(u"code"_s).toString());
    return codes;
}

double Figures::occupancy(Database *db, int propertyId)
{
    QString sql = u"SELECT SUM(CASE WHEN status='rented' THEN 1 ELSE 0 END) as rented, "
                  "SUM(CASE WHEN status!='sold' THEN 1 ELSE 0 END) as rentable FROM units "
                  "WHERE (?=0 OR property_id=?)"_s;
    QVariantList params { propertyId, propertyId };
    narrowToProperty(&sql, &params);
    const QVariantMap row = Database::firstRow(db->execQuery(sql, params));
    const int rentable = row.value(u"rentable"_s).toInt();
    return rentable > 0 ? row.value(u"rented"_s).toInt() * 100.0 / rentable : 0.0;
}

double Figures::rentCollections(
    Database *db, const QString &from, const QString &to, int propertyId)
{
    // Payments on a void invoice never count: the few void invoices are listed once, instead of
    // looking up every payment's invoice; a property's payments are those on its units' invoices.
    if (propertyId > 0)
        return paymentsTotal(db,
            u"p.buyer_id IS NULL AND p.invoice_id IN (SELECT i.id FROM invoices i JOIN units u ON "
            "u.id=i.unit_id WHERE u.property_id=? AND i.status!='void')"_s,
            { propertyId }, from, to);
    return paymentsTotal(db,
        u"p.buyer_id IS NULL AND (p.invoice_id IS NULL OR p.invoice_id NOT IN (SELECT id FROM "
        "invoices WHERE status='void' OR status IS NULL))"_s,
        {}, from, to);
}

double Figures::saleCollections(
    Database *db, const QString &from, const QString &to, int propertyId)
{
    if (propertyId > 0)
        return paymentsTotal(db,
            u"p.buyer_id IS NOT NULL AND p.unit_id IN (SELECT id FROM units WHERE property_id=?)"_s,
            { propertyId }, from, to);
    return paymentsTotal(db, u"p.buyer_id IS NOT NULL"_s, {}, from, to);
}

double Figures::expensesPaid(Database *db, const QString &from, const QString &to, int propertyId)
{
    return sum(db,
        u"SELECT COALESCE(SUM("_s + inPrimary(u"amount"_s, u"currency_id"_s, u"expense_date"_s)
            + u"),0) as t FROM expenses WHERE date(expense_date) BETWEEN ? AND ? "
              "AND (?=0 OR property_id=?)"_s,
        { dayFrom(from), dayTo(to), propertyId, propertyId });
}

double Figures::cashAvailable(Database *db, const QString &from, const QString &to)
{
    return rentCollections(db, from, to) + saleCollections(db, from, to)
        - expensesPaid(db, from, to);
}

double Figures::salesValue(Database *db, int propertyId)
{
    // The sale's currency is the one its schedule and down payment were recorded in; the unit's
    // own currency only when the sale left neither.
    const QString currency
        = u"COALESCE((SELECT currency_id FROM installments WHERE unit_id=u.id AND "
          "buyer_id=u.buyer_id LIMIT 1), (SELECT currency_id FROM payments WHERE unit_id=u.id "
          "AND buyer_id=u.buyer_id ORDER BY id LIMIT 1), u.currency_id)"_s;
    return sum(db,
        u"SELECT COALESCE(SUM("_s + inPrimary(u"u.sale_price_actual"_s, currency, u"u.sale_date"_s)
            + u"),0) as t FROM units u WHERE u.status='sold' AND (?=0 OR u.property_id=?)"_s,
        { propertyId, propertyId });
}

double Figures::unsoldValue(Database *db, int propertyId)
{
    return sum(db,
        u"SELECT COALESCE(SUM("_s
            + inPrimary(u"sale_price"_s, u"currency_id"_s, u"date('now','localtime')"_s)
            + u"),0) as t FROM units WHERE status='available' AND (?=0 OR property_id=?)"_s,
        { propertyId, propertyId });
}

double Figures::installmentsOwed(Database *db, const QString &dueBefore)
{
    return sum(db,
        u"SELECT COALESCE(SUM("_s
            + inPrimary(u"(installment_amount-paid_amount)"_s, u"currency_id"_s, u"due_date"_s)
            + u"),0) as t FROM installments WHERE status!='paid' AND (?='' OR due_date < ?)"_s,
        { anyDay(dueBefore), anyDay(dueBefore) });
}

double Figures::invoicesOwed(Database *db, const QString &dueBefore)
{
    return sum(db,
        u"SELECT COALESCE(SUM("_s + inPrimary(u"balance"_s, u"currency_id"_s, u"created_at"_s)
            + u"),0) as t FROM invoices WHERE status!='paid' AND status!='void' "
              "AND (?='' OR due_date < ?)"_s,
        { anyDay(dueBefore), anyDay(dueBefore) });
}
