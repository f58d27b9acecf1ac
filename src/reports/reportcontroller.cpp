#include "reportcontroller.h"

#include "arrears.h"
#include "database.h"
#include "figures.h"
#include "money.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString primarySymbolSql
    = u"SELECT COALESCE((SELECT symbol FROM currencies WHERE is_primary=1), '₪') as s"_s;

QString money(double value) { return QLocale(QLocale::English).toString(value, 'f', 2); }

QVariantMap pair(const QString &label, const QString &value)
{
    return { { u"label"_s, label }, { u"value"_s, value } };
}

QVariantMap column(const QString &key, const QString &title, bool figure = false)
{
    return { { u"key"_s, key }, { u"title"_s, title }, { u"figure"_s, figure } };
}

QString whole(double value) { return QString::number(value, 'f', 0); }

QString oneDecimal(double value) { return QString::number(value, 'f', 1); }

// Each line's `description`, the text the screen and the printed statement show.
void describe(QVariantMap &account, const std::function<QString(const QVariantMap &)> &text)
{
    QVariantList lines = account.value(u"lines"_s).toList();
    for (QVariant &item : lines) {
        QVariantMap line = item.toMap();
        line.insert(u"description"_s, text(line));
        item = line;
    }
    account.insert(u"lines"_s, lines);
}

QVariantMap card(const QString &icon, const QString &title, const QString &description)
{
    return { { u"icon"_s, icon }, { u"title"_s, title }, { u"description"_s, description } };
}

// The arrears report as a document: the accounts, then the totals per property and per currency,
// and the converted grand total with what it assumes.
QVariantMap arrearsDocument(const QVariantMap &report)
{
    const QStringList ages = Arrears::buckets();
    const QStringList titles { u"لم يستحق"_s, u"1-30"_s, u"31-60"_s, u"61-90"_s, u"أكثر من 90"_s };
    // The currency has its own column, so the figures stay narrow enough for names beside them.
    const auto amounts = [&ages](const QVariantMap &row, QVariantMap &cells) {
        cells.insert(u"currency"_s, row.value(u"currency_symbol"_s));
        for (const QString &key : ages + QStringList { u"total"_s })
            cells.insert(key, money(row.value(key).toDouble()));
    };
    QVariantList figureColumns { column(u"currency"_s, u"العملة"_s, true) };
    for (qsizetype i = 0; i < ages.size(); ++i)
        figureColumns.append(column(ages.at(i), titles.at(i), true));
    figureColumns.append(column(u"total"_s, u"الإجمالي"_s, true));

    QVariantList rows;
    for (const QVariant &item : report.value(u"rows"_s).toList()) {
        const QVariantMap row = item.toMap();
        QVariantMap cells { { u"name"_s,
                                row.value(u"name"_s).toString()
                                    + (row.value(u"kind"_s).toString() == u"buyer"_s
                                            ? u" (مشتري)"_s
                                            : u" (مستأجر)"_s) },
            { u"property"_s, row.value(u"property_name"_s) } };
        amounts(row, cells);
        rows.append(cells);
    }
    QVariantList blocks;
    blocks.append(QVariantMap {
        { u"columns"_s,
            QVariantList { column(u"name"_s, u"الحساب"_s), column(u"property"_s, u"العقار"_s) }
                + figureColumns },
        { u"rows"_s, rows } });

    QVariantList propertyRows;
    for (const QVariant &item : report.value(u"property_totals"_s).toList()) {
        QVariantMap cells { { u"property"_s, item.toMap().value(u"property_name"_s) } };
        amounts(item.toMap(), cells);
        propertyRows.append(cells);
    }
    blocks.append(QVariantMap { { u"heading"_s, u"الإجمالي حسب العقار"_s } });
    blocks.append(QVariantMap {
        { u"columns"_s, QVariantList { column(u"property"_s, u"العقار"_s) } + figureColumns },
        { u"rows"_s, propertyRows } });

    QVariantList currencyRows;
    for (const QVariant &item : report.value(u"totals"_s).toList()) {
        QVariantMap cells;
        amounts(item.toMap(), cells);
        currencyRows.append(cells);
    }
    blocks.append(QVariantMap { { u"heading"_s, u"الإجمالي العام لكل عملة"_s } });
    blocks.append(QVariantMap { { u"columns"_s, figureColumns }, { u"rows"_s, currencyRows } });
    const QString note = report.value(u"note"_s).toString();
    if (!note.isEmpty()) {
        QVariantMap cells;
        amounts(report.value(u"total_primary"_s).toMap(), cells);
        blocks.append(QVariantMap { { u"heading"_s, note } });
        blocks.append(
            QVariantMap { { u"columns"_s, figureColumns }, { u"rows"_s, QVariantList { cells } } });
    }
    return { { u"title"_s, u"المتأخرات حسب العمر (أيام التأخير)"_s },
        { u"period"_s, u"حتى "_s + QDate::currentDate().toString(Qt::ISODate) },
        { u"blocks"_s, blocks } };
}

}

ReportController::ReportController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

QVariantMap ReportController::firstRow(const QString &sql, const QVariantList &params) const
{
    return Database::firstRow(m_db->execQuery(sql, params));
}

QVariant ReportController::figure(
    const QString &sql, const QString &key, const QVariantList &params) const
{
    const QVariantMap row = firstRow(sql, params);
    return row.isEmpty() ? QVariant(0) : row.value(key);
}

// Lines of an account from `sql`, whose rows carry day, kind (its order among lines of one day),
// seq, type, ref, period, status, note, debit, credit and currency_symbol, in order. Lines before
// `from` make the opening balance; lines after `to` are left out. Without both dates every line
// is in. Sums run in whole cents, one running balance per currency.
QVariantMap ReportController::account(
    const QString &sql, const QVariantList &params, const QString &from, const QString &to) const
{
    const bool ranged = !from.isEmpty() && !to.isEmpty();
    struct Totals
    {
        qint64 opening = 0;
        qint64 debit = 0;
        qint64 credit = 0;
        qint64 balance = 0;
    };
    QMap<QString, Totals> totals;
    QStringList order;
    QVariantList lines;
    for (const QVariant &item : m_db->execQuery(sql, params)) {
        QVariantMap line = item.toMap();
        const QString day = line.value(u"day"_s).toString();
        const QString symbol = line.value(u"currency_symbol"_s).toString();
        const qint64 debit = Money::cents(line.value(u"debit"_s).toDouble());
        const qint64 credit = Money::cents(line.value(u"credit"_s).toDouble());
        if (debit == 0 && credit == 0)
            continue;
        if (ranged && day > to)
            continue;
        if (!totals.contains(symbol))
            order.append(symbol);
        Totals &sum = totals[symbol];
        sum.balance += debit - credit;
        if (ranged && day < from) {
            sum.opening += debit - credit;
            continue;
        }
        sum.debit += debit;
        sum.credit += credit;
        line.insert(u"date"_s, day);
        line.insert(u"balance"_s, Money::fromCents(sum.balance));
        lines.append(line);
    }

    QVariantList currencies;
    for (const QString &symbol : order) {
        const Totals &sum = totals.value(symbol);
        currencies.append(QVariantMap { { u"currency_symbol"_s, symbol },
            { u"opening_balance"_s, Money::fromCents(sum.opening) },
            { u"total_debit"_s, Money::fromCents(sum.debit) },
            { u"total_credit"_s, Money::fromCents(sum.credit) },
            { u"closing_balance"_s, Money::fromCents(sum.balance) } });
    }
    QVariantMap result = currencies.isEmpty()
        ? QVariantMap { { u"currency_symbol"_s, figure(primarySymbolSql, u"s"_s) },
              { u"opening_balance"_s, 0.0 }, { u"total_debit"_s, 0.0 }, { u"total_credit"_s, 0.0 },
              { u"closing_balance"_s, 0.0 } }
        : currencies.constFirst().toMap();
    result.insert(u"currencies"_s, currencies);
    result.insert(u"lines"_s, lines);
    result.insert(u"from"_s, ranged ? from : QString());
    result.insert(u"to"_s, ranged ? to : QString());
    return result;
}

// An invoice is dated by the day it was issued: the day it was entered (SQLite's UTC clock made
// local; a bare date is already a day), or the first day of its billing month when it was
// entered later than that. Its payments of the same day follow it. Payments of a void invoice
// leave the account with it, as they leave the tenant's balance.
QVariantMap ReportController::getTenantAccount(int tid, const QString &from, const QString &to)
{
    QVariantMap result
        = account(u"SELECT s.*, COALESCE(c.symbol, (SELECT symbol FROM currencies "
                  "WHERE is_primary=1), '₪') AS currency_symbol FROM ("
                  "SELECT 0 AS kind, i.id AS seq, MIN(CASE WHEN length(i.created_at) > 10 "
                  "THEN date(i.created_at,'localtime') ELSE date(i.created_at) END, "
                  "COALESCE(date(i.period || '-01'), '9999-12-31')) AS day, "
                  "'فاتورة' AS type, i.invoice_number AS ref, i.period AS period, "
                  "i.status AS status, i.notes AS note, i.total_amount AS debit, 0 AS credit, "
                  "i.currency_id AS currency_id FROM invoices i "
                  "WHERE i.tenant_id=? AND i.status!='void' "
                  "UNION ALL SELECT 2, p.id, date(p.payment_date), 'دفعة', "
                  "COALESCE(NULLIF(p.reference,''), inv.invoice_number), inv.period, NULL, "
                  "p.notes, 0, p.amount, COALESCE(p.currency_id, inv.currency_id) "
                  "FROM payments p LEFT JOIN invoices inv ON inv.id=p.invoice_id "
                  "WHERE p.tenant_id=? AND (inv.id IS NULL OR inv.status!='void')"
                  ") s LEFT JOIN currencies c ON c.id=s.currency_id "
                  "ORDER BY s.day, s.kind, s.seq"_s,
            { tid, tid }, from, to);
    describe(result, [](const QVariantMap &line) {
        const QString period = line.value(u"period"_s).toString();
        if (line.value(u"kind"_s).toInt() == 0)
            return period.isEmpty() ? u"فاتورة"_s : u"فاتورة عن فترة %1"_s.arg(period);
        return period.isEmpty() ? u"دفعة"_s : u"دفعة عن فترة %1"_s.arg(period);
    });
    return result;
}

// Charges: the part of each sale price not scheduled as installments (the down payment, due on
// the sale date) and every installment on its due date. Credits: every payment of the buyer, the
// down payment among them.
QVariantMap ReportController::getBuyerAccount(int bid, const QString &from, const QString &to)
{
    QVariantMap result = account(
        u"SELECT s.*, COALESCE(c.symbol, (SELECT symbol FROM currencies WHERE is_primary=1), "
        "'₪') AS currency_symbol FROM ("
        "SELECT 0 AS kind, u.id AS seq, u.sale_date AS day, 'دفعة مقدمة' AS type, "
        "u.unit_number AS ref, p.name AS property_name, NULL AS status, u.unit_number AS note, "
        "u.sale_price_actual - COALESCE((SELECT SUM(installment_amount) FROM installments "
        "WHERE unit_id=u.id AND buyer_id=u.buyer_id),0) AS debit, 0 AS credit, "
        "COALESCE((SELECT currency_id FROM installments WHERE unit_id=u.id AND "
        "buyer_id=u.buyer_id LIMIT 1), u.currency_id) AS currency_id, "
        "NULL AS paid_amount, NULL AS installment_id FROM units u "
        "JOIN properties p ON p.id=u.property_id WHERE u.buyer_id=? AND u.status='sold' "
        "UNION ALL SELECT 1, i.id, i.due_date, 'قسط', COALESCE(NULLIF(i.cheque_number,''), "
        "u.unit_number), p.name, i.status, u.unit_number, i.installment_amount, 0, "
        "i.currency_id, i.paid_amount, i.id FROM installments i "
        "JOIN units u ON u.id=i.unit_id JOIN properties p ON p.id=u.property_id "
        "WHERE i.buyer_id=? "
        "UNION ALL SELECT 2, pay.id, date(pay.payment_date), 'تحصيل', "
        "COALESCE(NULLIF(pay.reference,''), u.unit_number), p.name, NULL, pay.notes, 0, "
        "pay.amount, pay.currency_id, NULL, NULL FROM payments pay "
        "LEFT JOIN units u ON u.id=pay.unit_id LEFT JOIN properties p ON p.id=u.property_id "
        "WHERE pay.buyer_id=?"
        ") s LEFT JOIN currencies c ON c.id=s.currency_id ORDER BY s.day, s.kind, s.seq"_s,
        { bid, bid, bid }, from, to);

    // An installment's state from its own figures and today's date.
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QVariantList lines = result.value(u"lines"_s).toList();
    for (QVariant &item : lines) {
        QVariantMap line = item.toMap();
        if (line.value(u"kind"_s).toInt() != 1)
            continue;
        const double amount = line.value(u"debit"_s).toDouble();
        const double paid = line.value(u"paid_amount"_s).toDouble();
        QString status = u"due"_s;
        if (Money::compare(paid, amount) >= 0)
            status = u"paid"_s;
        else if (line.value(u"day"_s).toString() < today)
            status = u"overdue"_s;
        else if (Money::cents(paid) > 0)
            status = u"partial"_s;
        line.insert(u"status"_s, status);
        item = line;
    }
    result.insert(u"lines"_s, lines);
    describe(result, [](const QVariantMap &line) {
        const QString place = u"وحدة %1 (%2)"_s.arg(
            line.value(u"note"_s).toString(), line.value(u"property_name"_s).toString());
        switch (line.value(u"kind"_s).toInt()) {
        case 0:
            return u"الدفعة المقدمة - "_s + place;
        case 1:
            return u"قسط "_s + place;
        default: {
            const QString note = line.value(u"note"_s).toString();
            return note.isEmpty() ? u"تحصيل"_s : note;
        }
        }
    });
    return result;
}

// Charges: the contractor's expenses, which the contractor's balance owes; payments to
// contractors are not recorded yet, so nothing is credited.
QVariantMap ReportController::getContractorAccount(int cid, const QString &from, const QString &to)
{
    QVariantMap result = account(
        u"SELECT s.*, COALESCE(c.symbol, (SELECT symbol FROM currencies WHERE is_primary=1), "
        "'₪') AS currency_symbol FROM ("
        "SELECT 0 AS kind, e.id AS seq, date(e.expense_date) AS day, 'مصروف' AS type, "
        "e.category AS ref, COALESCE(p.name || COALESCE(' - ' || u.unit_number, ''), '') "
        "AS property_name, NULL AS status, e.description AS note, e.amount AS debit, 0 AS credit, "
        "e.currency_id AS currency_id FROM expenses e "
        "LEFT JOIN properties p ON e.property_id=p.id LEFT JOIN units u ON e.unit_id=u.id "
        "WHERE e.contractor_id=? "
        "UNION ALL SELECT 2, cp.id, date(cp.payment_date), 'دفعة', 'دفعة للمقاول', '', NULL, "
        "cp.notes, 0, cp.amount, NULL FROM contractor_payments cp WHERE cp.contractor_id=?"
        ") s LEFT JOIN currencies c ON c.id=s.currency_id ORDER BY s.day, s.kind, s.seq"_s,
        { cid, cid }, from, to);
    describe(result, [](const QVariantMap &line) {
        QStringList parts { line.value(u"ref"_s).toString() };
        for (const QString &key : { u"note"_s, u"property_name"_s }) {
            if (!line.value(key).toString().isEmpty())
                parts.append(line.value(key).toString());
        }
        return parts.join(u" - "_s);
    });
    result.insert(u"debit_label"_s, u"المستحق له"_s);
    result.insert(u"credit_label"_s, u"المدفوع له"_s);
    return result;
}

QVariantList ReportController::getTenantStatement(int tid, const QString &from, const QString &to)
{
    return getTenantAccount(tid, from, to).value(u"lines"_s).toList();
}

QVariantList ReportController::getBuyerStatement(int bid, const QString &from, const QString &to)
{
    return getBuyerAccount(bid, from, to).value(u"lines"_s).toList();
}

QVariantList ReportController::getContractorStatement(
    int cid, const QString &from, const QString &to)
{
    return getContractorAccount(cid, from, to).value(u"lines"_s).toList();
}

QVariantList ReportController::getChequeReport(
    const QString &status, const QString &from, const QString &to)
{
    QString sql = u"SELECT c.*, cur.symbol as currency_symbol FROM cheques c "
                  "LEFT JOIN currencies cur ON c.currency_id=cur.id WHERE 1=1 "_s;
    QVariantList params;
    if (!status.isEmpty()) {
        sql += u" AND c.status=? "_s;
        params << status;
    }
    if (!from.isEmpty() && !to.isEmpty()) {
        sql += u" AND c.due_date BETWEEN ? AND ?"_s;
        params << from << to;
    }
    return m_db->execQuery(sql + u" ORDER BY c.due_date"_s, params);
}

QVariantList ReportController::getMonthlyReport(const QString &year)
{
    return m_db->execQuery(
        u"SELECT strftime('%m', payment_date) as month, SUM(amount) as revenue FROM payments "
        "WHERE strftime('%Y', payment_date)=? GROUP BY strftime('%m', payment_date) "
        "ORDER BY month"_s,
        { year });
}

// Cash basis: rent, service and sale money received against expenses paid in the period.
QVariantMap ReportController::getProfitLoss(const QString &from, const QString &to)
{
    const double rent = Figures::rentCollections(m_db, from, to);
    const double sales = Figures::saleCollections(m_db, from, to);
    const double expenses = Figures::expensesPaid(m_db, from, to);
    return { { u"rent_revenue"_s, rent }, { u"sale_revenue"_s, sales },
        { u"revenue"_s, Money::round(rent + sales) }, { u"expenses"_s, expenses },
        { u"net_profit"_s, Money::round(rent + sales - expenses) } };
}

// Open amounts owed today, and the cash available: every collection less every expense paid,
// up to today.
QVariantMap ReportController::getBalanceSheet()
{
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QVariantMap result;
    result.insert(u"receivables"_s, Figures::invoicesOwed(m_db));
    result.insert(u"installment_receivables"_s, Figures::installmentsOwed(m_db));
    const double cash = Figures::cashAvailable(m_db, QString(), today);
    result.insert(u"cash"_s, cash);
    result.insert(u"cash_to"_s, today);
    result.insert(u"total_assets"_s,
        Money::round(result.value(u"receivables"_s).toDouble() + cash
            + result.value(u"installment_receivables"_s).toDouble()));
    return result;
}

QVariantList ReportController::getOverdueInstallments()
{
    return m_db->execQuery(
        u"SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as property_name "
        "FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id "
        "JOIN properties p ON u.property_id=p.id WHERE i.status!='paid' AND "
        "i.due_date < date('now','localtime') ORDER BY i.due_date"_s);
}

QVariantList ReportController::getPropertyComparison()
{
    // One pass over each table grouped by property, rather than a walk from every property
    // through its units and invoices to their payments.
    return m_db->execQuery(
        u"SELECT p.name, p.id, COALESCE(n.units,0) as units, COALESCE(n.rented,0) as rented, "
        "COALESCE(n.sold,0) as sold, COALESCE(r.t,0) as income, COALESCE(e.t,0) as expenses "
        "FROM properties p LEFT JOIN (SELECT property_id, COUNT(*) AS units, "
        "SUM(CASE WHEN status='rented' THEN 1 ELSE 0 END) AS rented, "
        "SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END) AS sold FROM units GROUP BY property_id) n "
        "ON n.property_id=p.id LEFT JOIN (SELECT u.property_id, SUM("_s
        + Figures::inPrimary(u"pay.amount"_s, u"pay.currency_id"_s, u"pay.payment_date"_s)
        + u") AS t FROM payments pay JOIN invoices i ON pay.invoice_id=i.id JOIN units u ON "
          "i.unit_id=u.id WHERE i.status!='void' GROUP BY u.property_id) r ON r.property_id=p.id "
          "LEFT JOIN (SELECT property_id, SUM("_s
        + Figures::inPrimary(u"amount"_s, u"currency_id"_s, u"expense_date"_s)
        + u") AS t FROM expenses GROUP BY property_id) e ON e.property_id=p.id "
          "ORDER BY income DESC, p.id"_s);
}

// The figures cover all time; the period is accepted for the page's convenience only.
QVariantMap ReportController::getProjectDetailedFinancials(
    int pid, const QString &, const QString &)
{
    QVariantMap result;
    result.insert(u"total_sales_value"_s, Figures::salesValue(m_db, pid));
    // Sale money received, down payments included.
    result.insert(u"total_collected"_s, Figures::saleCollections(m_db, QString(), QString(), pid));
    result.insert(u"rent_income"_s, Figures::rentCollections(m_db, QString(), QString(), pid));
    result.insert(u"total_expenses"_s, Figures::expensesPaid(m_db, QString(), QString(), pid));
    result.insert(u"unsold_value"_s, Figures::unsoldValue(m_db, pid));
    const QVariantMap counts = firstRow(
        u"SELECT COUNT(*) as total, SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END) as sold "
        "FROM units WHERE property_id=?"_s,
        { pid });

    const auto amount = [&result](const QString &key) { return result.value(key).toDouble(); };
    result.insert(u"expected_profit"_s,
        Money::round(amount(u"total_sales_value"_s) + amount(u"unsold_value"_s)
            - amount(u"total_expenses"_s)));
    // Rent received counts beside sale money, so a rental building does not show a loss.
    result.insert(u"net_cash_flow"_s,
        Money::round(
            amount(u"total_collected"_s) + amount(u"rent_income"_s) - amount(u"total_expenses"_s)));
    if (!counts.isEmpty()) {
        result.insert(u"total_units"_s, counts.value(u"total"_s));
        result.insert(u"sold_units"_s, counts.value(u"sold"_s));
    }
    return result;
}

QVariantList ReportController::getProjectsFinancials()
{
    // Each sum is one pass over its table grouped by property, as the single-property figures
    // define it; a day that is not a date never counts there, nor here.
    const QString saleCurrency
        = u"COALESCE((SELECT currency_id FROM installments WHERE unit_id=u.id AND "
          "buyer_id=u.buyer_id LIMIT 1), (SELECT currency_id FROM payments WHERE unit_id=u.id "
          "AND buyer_id=u.buyer_id ORDER BY id LIMIT 1), u.currency_id)"_s;
    const QString received
        = Figures::inPrimary(u"pay.amount"_s, u"pay.currency_id"_s, u"pay.payment_date"_s);
    const QString sql = u"SELECT p.id, p.name, COALESCE(n.total,0) AS total_units, "
                        "COALESCE(n.sold,0) AS sold_units, COALESCE(n.sales,0) AS "
                        "total_sales_value, COALESCE(n.unsold,0) AS unsold_value, "
                        "COALESCE(s.t,0) AS total_collected, COALESCE(r.t,0) AS rent_income, "
                        "COALESCE(e.t,0) AS total_expenses FROM properties p "
                        "LEFT JOIN (SELECT u.property_id, COUNT(*) AS total, "
                        "SUM(CASE WHEN u.status='sold' THEN 1 ELSE 0 END) AS sold, "
                        "SUM(CASE WHEN u.status='sold' THEN "_s
        + Figures::inPrimary(u"u.sale_price_actual"_s, saleCurrency, u"u.sale_date"_s)
        + u" END) AS sales, SUM(CASE WHEN u.status='available' THEN "_s
        + Figures::inPrimary(u"u.sale_price"_s, u"u.currency_id"_s, u"date('now','localtime')"_s)
        + u" END) AS unsold FROM units u GROUP BY u.property_id) n ON n.property_id=p.id "
          "LEFT JOIN (SELECT u.property_id, SUM("_s
        + received
        + u") AS t FROM payments pay JOIN units u ON u.id=pay.unit_id WHERE pay.buyer_id IS "
          "NOT NULL AND date(pay.payment_date) IS NOT NULL GROUP BY u.property_id) s ON "
          "s.property_id=p.id LEFT JOIN (SELECT u.property_id, SUM("_s
        + received
        + u") AS t FROM payments pay JOIN invoices i ON i.id=pay.invoice_id JOIN units u ON "
          "u.id=i.unit_id WHERE pay.buyer_id IS NULL AND i.status!='void' AND "
          "date(pay.payment_date) IS NOT NULL GROUP BY u.property_id) r ON r.property_id=p.id "
          "LEFT JOIN (SELECT property_id, SUM("_s
        + Figures::inPrimary(u"amount"_s, u"currency_id"_s, u"expense_date"_s)
        + u") AS t FROM expenses WHERE date(expense_date) IS NOT NULL GROUP BY property_id) e "
          "ON e.property_id=p.id ORDER BY p.name, p.id"_s;
    QVariantList rows = m_db->execQuery(sql);
    const QStringList amounts { u"total_sales_value"_s, u"unsold_value"_s, u"total_collected"_s,
        u"rent_income"_s, u"total_expenses"_s };
    for (QVariant &item : rows) {
        QVariantMap row = item.toMap();
        const auto amount = [&row](const QString &key) { return row.value(key).toDouble(); };
        row.insert(u"expected_profit"_s,
            Money::round(amount(u"total_sales_value"_s) + amount(u"unsold_value"_s)
                - amount(u"total_expenses"_s)));
        row.insert(u"net_cash_flow"_s,
            Money::round(amount(u"total_collected"_s) + amount(u"rent_income"_s)
                - amount(u"total_expenses"_s)));
        for (const QString &key : amounts)
            row.insert(key, Money::round(amount(key)));
        item = row;
    }
    return rows;
}

QVariantMap ReportController::getPropertyProfitability(
    int pid, const QString &from, const QString &to)
{
    const double invoiceIncome = Figures::rentCollections(m_db, from, to, pid);
    const double expenses = Figures::expensesPaid(m_db, from, to, pid);
    // Sale receipts count whatever the period.
    const double salesReceipts = Figures::saleCollections(m_db, QString(), QString(), pid);
    const double income = invoiceIncome + salesReceipts;
    const double profit = income - expenses;
    return { { u"income"_s, income }, { u"expenses"_s, expenses }, { u"profit"_s, profit },
        { u"margin"_s, income > 0 ? profit / income * 100.0 : 0.0 } };
}

QVariantMap ReportController::getUnitProfitability(int uid)
{
    const QVariantMap unit = firstRow(u"SELECT * FROM units WHERE id=?"_s, { uid });
    if (unit.isEmpty())
        return {};

    double price = unit.value(u"sale_price_actual"_s).toDouble();
    if (price <= 0)
        price = unit.value(u"sale_price"_s).toDouble();
    // Floors keep the share finite: a unit without area counts as 1, and so does an empty total.
    const double area = std::max(unit.value(u"area"_s).toDouble(), 1.0);
    const int propertyId = unit.value(u"property_id"_s).toInt();

    const double direct = figure(
        u"SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE unit_id=?"_s, u"t"_s, { uid })
                              .toDouble();
    const double common = figure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses "
                                 "WHERE property_id=? AND unit_id IS NULL"_s,
        u"t"_s, { propertyId })
                              .toDouble();
    const double totalArea
        = std::max(figure(u"SELECT COALESCE(SUM(area),1) as t FROM units WHERE property_id=?"_s,
                       u"t"_s, { propertyId })
                       .toDouble(),
            1.0);

    const double allocated = common * (area / totalArea);
    const double totalCost = allocated + direct;
    return { { u"sale_price"_s, price }, { u"direct_expenses"_s, direct },
        { u"allocated_expenses"_s, allocated }, { u"total_cost"_s, totalCost },
        { u"profit"_s, price - totalCost } };
}

QStringList ReportController::getCurrenciesWithoutRate()
{
    return Figures::currenciesWithoutRate(m_db);
}

double ReportController::getOccupancy(int propertyId)
{
    return Figures::occupancy(m_db, propertyId);
}

QVariantList ReportController::getAIInsights()
{
    QVariantList cards;

    const QVariantMap units = firstRow(
        u"SELECT COUNT(*) as total, SUM(CASE WHEN status='rented' THEN 1 ELSE 0 END) as rented, "
        "SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END) as sold FROM units"_s);
    if (!units.isEmpty()) {
        const int total = units.value(u"total"_s).toInt() - units.value(u"sold"_s).toInt();
        const int rented = units.value(u"rented"_s).toInt();
        const double rate = Figures::occupancy(m_db);
        QString icon = u"🔴"_s;
        if (total >= 1) {
            if (rate > 80)
                icon = u"✅"_s;
            else if (rate > 50)
                icon = u"⚠️"_s;
        }
        const QString description = u"نسبة الإشغال %1% (%2/%3 وحدة). "_s.arg(whole(rate),
                                        QString::number(rented), QString::number(total))
            + (rate > 80 ? u"أداء ممتاز!"_s : u"يمكن تحسين الإشغال."_s);
        cards.append(card(icon, u"تحليل الإشغال"_s, description));
    }

    const QString today = QDate::currentDate().toString(Qt::ISODate);
    {
        const double overdue = Figures::invoicesOwed(m_db, today);
        cards.append(card(overdue < 1000 ? u"✅"_s : u"🔴"_s, u"المستحقات المتأخرة"_s,
            u"إجمالي المتأخرات: %1 ₪"_s.arg(money(overdue))));
    }

    const int lateInstallments = firstRow(u"SELECT COUNT(*) as c FROM installments "
                                          "WHERE status!='paid' AND due_date < ?"_s,
        { today })
                                     .value(u"c"_s)
                                     .toInt();
    if (lateInstallments > 0) {
        cards.append(card(u"⚠️"_s, u"أقساط متأخرة"_s,
            u"%1 قسط متأخر بقيمة %2 ₪"_s.arg(
                QString::number(lateInstallments), money(Figures::installmentsOwed(m_db, today)))));
    }

    const QVariantMap cheques
        = firstRow(u"SELECT COUNT(*) as c, COALESCE(SUM(amount),0) as t FROM cheques "
                   "WHERE status='pending' AND due_date <= date('now','localtime','+7 days')"_s);
    if (cheques.value(u"c"_s).toInt() > 0) {
        cards.append(card(u"🎫"_s, u"شيكات مستحقة"_s,
            u"%1 شيك مستحق خلال 7 أيام بقيمة %2"_s.arg(
                QString::number(cheques.value(u"c"_s).toInt()),
                money(cheques.value(u"t"_s).toDouble()))));
    }
    return cards;
}

QVariantMap ReportController::getSmartAIAnalysis()
{
    const double revenue = Figures::rentCollections(m_db, QString(), QString())
        + Figures::saleCollections(m_db, QString(), QString());
    const double net = revenue - Figures::expensesPaid(m_db, QString(), QString());
    const double occupancy = Figures::occupancy(m_db);

    const int overdueCount = figure(u"SELECT COUNT(*) as cnt FROM installments WHERE "
                                    "status!='paid' AND due_date < date('now','localtime')"_s,
        u"cnt"_s)
                                 .toInt();
    const int chequeCount = figure(u"SELECT COUNT(*) as cnt FROM cheques WHERE status='pending' "
                                   "AND due_date <= date('now','localtime','+7 days')"_s,
        u"cnt"_s)
                                .toInt();

    QString text = u"### تحليل ذكاء الأعمال (Belvardino AI)\n\n"_s;
    if (revenue > 0) {
        const double margin = net / revenue * 100.0;
        text += u"✅ **الأداء المالي:** تحقق المنظومة حالياً إيرادات إجمالية قدرها **%1 ₪**. "_s.arg(
            money(revenue));
        text += u"بهامش ربح صافي يقدر بـ **%1%**. "_s.arg(oneDecimal(margin));
        text += margin > 30 ? u"هذا المؤشر ممتاز ويدل على كفاءة تشغيلية عالية.\n\n"_s
                            : u"يُنصح بمراجعة المصاريف التشغيلية لزيادة هامش الربح.\n\n"_s;
    } else {
        text
            += u"⚠️ لا توجد بيانات مالية كافية لتحليل الإيرادات حالياً.\n\n"_s;
    }

    text += u"📊 **حالة المحفظة العقارية:** نسبة إشغال الوحدات القابلة للتأجير هي **%1%**. "_s.arg(
        oneDecimal(occupancy));
    text += occupancy < 70
        ? u"هناك مساحة كبيرة للنمو، يُنصح بتكثيف النشاط التسويقي للوحدات المتاحة.\n\n"_s
        : u"المحفظة في حالة صحية جيدة جداً من حيث الإشغال.\n\n"_s;

    text += u"💡 **توصيات ذكية:**\n"_s;
    if (overdueCount > 0)
        text += u"- هناك **%1** دفعات متأخرة. يُفضل التواصل مع العملاء لتحصيلها لضمان تدفق نقدي "
                "مستقر.\n"_s.arg(overdueCount);
    if (chequeCount > 0)
        text += u"- تنبيه: يوجد **%1** شيكات تستحق خلال الأسبوع القادم. تأكد من توفر السيولة أو "
                "متابعة التحصيل.\n"_s.arg(chequeCount);

    return { { u"text"_s, text }, { u"occupancy"_s, occupancy } };
}

QVariantMap ReportController::getArrears(int propertyId, const QString &sortKey)
{
    return Arrears::report(m_db, propertyId, sortKey);
}

QVariantList ReportController::getAccountArrears(const QString &kind, int personId)
{
    return Arrears::account(m_db, kind, personId);
}

QVariantMap ReportController::getPrintableReport(const QString &kind, const QString &from,
    const QString &to, int propertyId, const QString &sortKey)
{
    const QString period
        = from.isEmpty() || to.isEmpty() ? QString() : u"من "_s + from + u" إلى "_s + to;
    const QString symbol = figure(primarySymbolSql, u"s"_s).toString();
    const auto amount
        = [&symbol](const QVariant &value) { return money(value.toDouble()) + u" "_s + symbol; };
    QVariantList blocks;

    if (kind == u"analysis"_s) {
        const QVariantMap analysis = getSmartAIAnalysis();
        blocks.append(QVariantMap { { u"text"_s, analysis.value(u"text"_s) } });
        QVariantList rows;
        for (const QVariant &item : getAIInsights())
            rows.append(item);
        blocks.append(QVariantMap { { u"heading"_s, u"المؤشرات"_s } });
        blocks.append(QVariantMap { { u"columns"_s,
                                        QVariantList { column(u"title"_s, u"المؤشر"_s),
                                            column(u"description"_s, u"التحليل"_s) } },
            { u"rows"_s, rows } });
        return { { u"title"_s, u"التحليل الذكي"_s }, { u"blocks"_s, blocks } };
    }

    if (kind == u"financial"_s) {
        const QVariantMap pl = getProfitLoss(from, to);
        const QVariantMap sheet = getBalanceSheet();
        blocks.append(QVariantMap { { u"heading"_s, u"الدخل والمصروفات خلال الفترة"_s } });
        blocks.append(QVariantMap { { u"pairs"_s,
            QVariantList { pair(u"تحصيلات الإيجار والخدمات"_s, amount(pl[u"rent_revenue"_s])),
                pair(u"تحصيلات المبيعات"_s, amount(pl[u"sale_revenue"_s])),
                pair(u"إجمالي الإيرادات"_s, amount(pl[u"revenue"_s])),
                pair(u"المصروفات المدفوعة"_s, amount(pl[u"expenses"_s])),
                pair(u"صافي الربح"_s, amount(pl[u"net_profit"_s])) } } });
        blocks.append(QVariantMap {
            { u"heading"_s, u"المركز المالي حتى "_s + sheet.value(u"cash_to"_s).toString() } });
        blocks.append(QVariantMap { { u"pairs"_s,
            QVariantList { pair(u"مستحقات الإيجار"_s, amount(sheet[u"receivables"_s])),
                pair(u"مستحقات الأقساط"_s, amount(sheet[u"installment_receivables"_s])),
                pair(u"النقد المتوفر (التحصيلات ناقص المصروفات)"_s, amount(sheet[u"cash"_s])),
                pair(u"إجمالي الأصول"_s, amount(sheet[u"total_assets"_s])) } } });
        return { { u"title"_s, u"الملخص المالي"_s }, { u"period"_s, period },
            { u"blocks"_s, blocks } };
    }

    if (kind == u"projects"_s) {
        QVariantList rows;
        for (const QVariant &item : getProjectsFinancials()) {
            const QVariantMap f = item.toMap();
            rows.append(QVariantMap { { u"name"_s, f.value(u"name"_s) },
                { u"sold"_s,
                    u"%1 من %2"_s.arg(f.value(u"sold_units"_s).toInt())
                        .arg(f.value(u"total_units"_s).toInt()) },
                { u"sales"_s, money(f.value(u"total_sales_value"_s).toDouble()) },
                { u"collected"_s, money(f.value(u"total_collected"_s).toDouble()) },
                { u"rent"_s, money(f.value(u"rent_income"_s).toDouble()) },
                { u"expenses"_s, money(f.value(u"total_expenses"_s).toDouble()) },
                { u"net"_s, money(f.value(u"net_cash_flow"_s).toDouble()) } });
        }
        blocks.append(QVariantMap { { u"columns"_s,
                                        QVariantList { column(u"name"_s, u"المشروع"_s),
                                            column(u"sold"_s, u"الوحدات المباعة"_s),
                                            column(u"sales"_s, u"قيمة المبيعات"_s, true),
                                            column(u"collected"_s, u"المحصل من المبيعات"_s, true),
                                            column(u"rent"_s, u"دخل الإيجار"_s, true),
                                            column(u"expenses"_s, u"المصروفات"_s, true),
                                            column(u"net"_s, u"الصافي"_s, true) } },
            { u"rows"_s, rows } });
        return { { u"title"_s, u"أداء المشاريع (منذ البداية، بعملة "_s + symbol + u")"_s },
            { u"blocks"_s, blocks } };
    }

    if (kind == u"units"_s) {
        static const QHash<QString, QString> statuses { { u"available"_s, u"متاحة"_s },
            { u"rented"_s, u"مؤجرة"_s }, { u"sold"_s, u"مباعة"_s } };
        QVariantList rows;
        // A sold unit shows what it sold for, a rented one its rent, an available one its price.
        for (const QVariant &item : m_db->execQuery(
                 u"SELECT u.unit_number, u.area, u.status, u.sale_price, u.sale_price_actual, "
                 "u.rent_monthly, p.name as property_name FROM units u JOIN properties p ON "
                 "p.id=u.property_id ORDER BY p.name, u.unit_number"_s)) {
            const QVariantMap unit = item.toMap();
            const QString status = unit.value(u"status"_s).toString();
            QString price;
            if (status == u"sold"_s)
                price = amount(unit.value(u"sale_price_actual"_s)) + u" (سعر البيع)"_s;
            else if (status == u"rented"_s)
                price = amount(unit.value(u"rent_monthly"_s)) + u" (إيجار شهري)"_s;
            else if (Money::cents(unit.value(u"sale_price"_s).toDouble()) > 0)
                price = amount(unit.value(u"sale_price"_s)) + u" (سعر معروض)"_s;
            else
                price = amount(unit.value(u"rent_monthly"_s)) + u" (إيجار شهري)"_s;
            rows.append(QVariantMap { { u"property"_s, unit.value(u"property_name"_s) },
                { u"unit"_s, unit.value(u"unit_number"_s) },
                { u"area"_s, QString::number(unit.value(u"area"_s).toDouble()) + u" م²"_s },
                { u"status"_s, statuses.value(status, status) }, { u"price"_s, price } });
        }
        blocks.append(QVariantMap {
            { u"columns"_s,
                QVariantList { column(u"property"_s, u"العقار"_s), column(u"unit"_s, u"الوحدة"_s),
                    column(u"area"_s, u"المساحة"_s, true), column(u"status"_s, u"الحالة"_s),
                    column(u"price"_s, u"السعر"_s) } },
            { u"rows"_s, rows } });
        return { { u"title"_s, u"حالة الوحدات"_s }, { u"blocks"_s, blocks } };
    }

    if (kind == u"overdue"_s) {
        QVariantList rows;
        for (const QVariant &item : getOverdueInstallments()) {
            const QVariantMap row = item.toMap();
            rows.append(QVariantMap { { u"buyer"_s, row.value(u"buyer_name"_s) },
                { u"unit"_s,
                    row.value(u"property_name"_s).toString() + u" - وحدة "_s
                        + row.value(u"unit_number"_s).toString() },
                { u"due"_s, row.value(u"due_date"_s) },
                { u"left"_s,
                    money(row.value(u"installment_amount"_s).toDouble()
                        - row.value(u"paid_amount"_s).toDouble()) } });
        }
        blocks.append(QVariantMap {
            { u"columns"_s,
                QVariantList { column(u"buyer"_s, u"المشتري"_s), column(u"unit"_s, u"الوحدة"_s),
                    column(u"due"_s, u"تاريخ الاستحقاق"_s, true),
                    column(u"left"_s, u"المتبقي"_s, true) } },
            { u"rows"_s, rows } });
        return { { u"title"_s, u"الأقساط المتأخرة"_s }, { u"blocks"_s, blocks } };
    }

    if (kind == u"arrears"_s)
        return arrearsDocument(getArrears(propertyId, sortKey));

    // Cheques: received and issued apart, each with its total per currency.
    static const QHash<QString, QString> statuses { { u"paid"_s, u"تم الصرف"_s },
        { u"pending"_s, u"معلق"_s }, { u"bounced"_s, u"مرتجع"_s } };
    const QVariantList cheques = getChequeReport(QString(), from, to);
    for (const QString &type : { u"received"_s, u"issued"_s }) {
        QVariantList rows;
        QMap<QString, qint64> totals;
        for (const QVariant &item : cheques) {
            const QVariantMap cheque = item.toMap();
            if (cheque.value(u"type"_s).toString() != type)
                continue;
            QString currency = cheque.value(u"currency_symbol"_s).toString();
            if (currency.isEmpty())
                currency = symbol;
            totals[currency] += Money::cents(cheque.value(u"amount"_s).toDouble());
            const QString status = cheque.value(u"status"_s).toString();
            rows.append(QVariantMap { { u"number"_s, cheque.value(u"cheque_number"_s) },
                { u"bank"_s, cheque.value(u"bank_name"_s) },
                { u"due"_s, cheque.value(u"due_date"_s) },
                { u"amount"_s, money(cheque.value(u"amount"_s).toDouble()) + u" "_s + currency },
                { u"status"_s, statuses.value(status, status) } });
        }
        QStringList sums;
        for (auto it = totals.constBegin(); it != totals.constEnd(); ++it)
            sums.append(money(Money::fromCents(it.value())) + u" "_s + it.key());
        blocks.append(QVariantMap { { u"heading"_s,
            type == u"received"_s ? u"الشيكات الواردة"_s : u"الشيكات الصادرة"_s } });
        blocks.append(QVariantMap {
            { u"columns"_s,
                QVariantList { column(u"number"_s, u"رقم الشيك"_s), column(u"bank"_s, u"البنك"_s),
                    column(u"due"_s, u"تاريخ الاستحقاق"_s, true),
                    column(u"amount"_s, u"المبلغ"_s, true), column(u"status"_s, u"الحالة"_s) } },
            { u"rows"_s, rows },
            { u"totals"_s,
                QVariantMap {
                    { u"number"_s, u"الإجمالي"_s }, { u"amount"_s, sums.join(u" | "_s) } } } });
    }
    return { { u"title"_s, u"تقرير الشيكات"_s }, { u"period"_s, period }, { u"blocks"_s, blocks } };
}
