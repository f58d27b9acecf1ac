#include "reportprinter.h"

#include "buyermodel.h"
#include "expensemodel.h"
#include "money.h"
#include "printcontroller.h"
#include "reportcontroller.h"
#include "tenantmodel.h"

#include <QDate>
#include <QLocale>
#include <QVariantMap>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// As the interface shows figures: whole amounts without decimals, others with two.
QString number(double value)
{
    const double shown = std::isfinite(value) ? value : 0.0;
    const int decimals = Money::cents(shown) % 100 == 0 ? 0 : 2;
    return QLocale().toString(shown, 'f', decimals);
}

QString money(double value) { return number(value) + u" ₪"_s; }

double figure(const QVariantMap &row, const QString &key)
{
    const double value = row.value(key).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

QString chequeStatus(const QString &status)
{
    if (status == u"paid"_s)
        return u"تم الصرف"_s;
    return status == u"pending"_s ? u"معلق"_s : u"مرتجع"_s;
}

QVariantMap rowWithId(const QVariantList &rows, int id)
{
    for (const QVariant &row : rows) {
        if (row.toMap().value(u"id"_s).toInt() == id)
            return row.toMap();
    }
    return {};
}

} // namespace

ReportPrinter::ReportPrinter(Database *db, PrintController *print)
    : m_db(db)
    , m_print(print)
{
}

QStringList ReportPrinter::names()
{
    return { u"financial-summary"_s, u"arrears"_s, u"cheques"_s, u"tenant-statement"_s,
        u"buyer-statement"_s, u"contractor-statement"_s };
}

bool ReportPrinter::needsId(const QString &name) { return name.endsWith(u"-statement"_s); }

bool ReportPrinter::print(const QString &name, int id, const QString &from, const QString &to,
    const QString &path, QString *error)
{
    const QDate today = QDate::currentDate();
    const QString rangeFrom
        = from.isEmpty() ? QDate(today.year(), 1, 1).toString(Qt::ISODate) : from;
    const QString rangeTo = to.isEmpty() ? today.toString(Qt::ISODate) : to;
    error->clear();
    bool written = false;
    if (name == u"financial-summary"_s)
        written = financialSummary(rangeFrom, rangeTo, path);
    else if (name == u"arrears"_s)
        written = arrears(path);
    else if (name == u"cheques"_s)
        written = cheques(rangeFrom, rangeTo, path);
    else if (name == u"tenant-statement"_s)
        written = tenantStatement(id, from, to, path, error);
    else if (name == u"buyer-statement"_s)
        written = buyerStatement(id, from, to, path, error);
    else if (name == u"contractor-statement"_s)
        written = contractorStatement(id, from, to, path, error);
    else
        *error = u"unknown report "_s + name;
    if (!written && error->isEmpty())
        *error = u"cannot write "_s + path;
    return written;
}

bool ReportPrinter::financialSummary(const QString &from, const QString &to, const QString &path)
{
    ReportController reports(m_db);
    const QVariantMap profitLoss = reports.getProfitLoss(from, to);
    const QVariantMap balanceSheet = reports.getBalanceSheet();
    const QVariantMap summary {
        { u"الإيرادات"_s, money(figure(profitLoss, u"revenue"_s)) },
        { u"المصروفات"_s, money(figure(profitLoss, u"expenses"_s)) },
        { u"صافي الربح"_s, money(figure(profitLoss, u"net_profit"_s)) },
        { u"مستحقات الإيجار"_s, money(figure(balanceSheet, u"receivables"_s)) },
        { u"مستحقات الأقساط"_s, money(figure(balanceSheet, u"installment_receivables"_s)) },
        { u"إجمالي الأصول"_s, money(figure(balanceSheet, u"total_assets"_s)) },
        { u"النقد المتوفر"_s, money(figure(balanceSheet, u"cash"_s)) },
    };
    return m_print->saveReport(u"الملخص المالي"_s, {}, summary, path);
}

bool ReportPrinter::arrears(const QString &path)
{
    ReportController reports(m_db);
    QVariantList rows;
    for (const QVariant &element : reports.getOverdueInstallments()) {
        const QVariantMap row = element.toMap();
        const qint64 open = Money::cents(figure(row, u"installment_amount"_s))
            - Money::cents(figure(row, u"paid_amount"_s));
        rows.append(QVariantMap {
            { u"المشتري"_s, row.value(u"buyer_name"_s).toString() },
            { u"الوحدة"_s,
                row.value(u"property_name"_s).toString() + u" - وحدة "_s
                    + row.value(u"unit_number"_s).toString() },
            { u"تاريخ الاستحقاق"_s, row.value(u"due_date"_s).toString() },
            { u"المتبقي"_s, money(Money::fromCents(open)) },
        });
    }
    return m_print->saveReport(u"الأقساط المتأخرة"_s, rows, {}, path);
}

bool ReportPrinter::cheques(const QString &from, const QString &to, const QString &path)
{
    ReportController reports(m_db);
    QVariantList rows;
    for (const QVariant &element : reports.getChequeReport(QString(), from, to)) {
        const QVariantMap row = element.toMap();
        const QString symbol = row.value(u"currency_symbol"_s).toString();
        rows.append(QVariantMap {
            { u"رقم الشيك"_s, row.value(u"cheque_number"_s).toString() },
            { u"البنك"_s, row.value(u"bank_name"_s).toString() },
            { u"تاريخ الاستحقاق"_s, row.value(u"due_date"_s).toString() },
            { u"المبلغ"_s,
                number(figure(row, u"amount"_s)) + u" "_s + (symbol.isEmpty() ? u"₪"_s : symbol) },
            { u"الحالة"_s, chequeStatus(row.value(u"status"_s).toString()) },
        });
    }
    return m_print->saveReport(u"تقرير الشيكات"_s, rows, {}, path);
}

bool ReportPrinter::tenantStatement(
    int id, const QString &from, const QString &to, const QString &path, QString *error)
{
    TenantModel tenants(m_db);
    const QVariantMap tenant = tenants.getById(id);
    if (tenant.isEmpty()) {
        *error = u"no tenant with id "_s + QString::number(id);
        return false;
    }
    ReportController reports(m_db);
    QVariantList transactions;
    qint64 debits = 0;
    qint64 credits = 0;
    for (const QVariant &element : reports.getTenantStatement(id, from, to)) {
        const QVariantMap row = element.toMap();
        const qint64 debit = Money::cents(figure(row, u"debit"_s));
        const qint64 credit = Money::cents(figure(row, u"credit"_s));
        debits += debit;
        credits += credit;
        const QString reference = row.value(u"ref"_s).toString();
        transactions.append(QVariantMap {
            { u"date"_s, row.value(u"date"_s).toString() },
            { u"description"_s, row.value(u"type"_s).toString() + u" - "_s + reference },
            { u"reference"_s, reference },
            { u"amount"_s, Money::fromCents(debit > 0 ? debit : credit) },
            { u"balance"_s, money(Money::fromCents(debits - credits)) },
        });
    }
    const QVariantMap totals {
        { u"إجمالي المطلوبات"_s, money(Money::fromCents(debits)) },
        { u"إجمالي المدفوعات"_s, money(Money::fromCents(credits)) },
        { u"الرصيد المتبقي"_s, money(Money::fromCents(debits - credits)) },
    };
    return m_print->saveStatement(
        tenant.value(u"full_name"_s).toString(), u"مستأجر"_s, transactions, totals, path);
}

bool ReportPrinter::buyerStatement(
    int id, const QString &from, const QString &to, const QString &path, QString *error)
{
    BuyerModel buyers(m_db);
    const QVariantMap buyer = rowWithId(buyers.getAll(), id);
    if (buyer.isEmpty()) {
        *error = u"no buyer with id "_s + QString::number(id);
        return false;
    }
    ReportController reports(m_db);
    QVariantList transactions;
    qint64 scheduled = 0;
    qint64 paid = 0;
    for (const QVariant &element : reports.getBuyerStatement(id, from, to)) {
        const QVariantMap row = element.toMap();
        const qint64 amount = Money::cents(figure(row, u"installment_amount"_s));
        const qint64 settled = Money::cents(figure(row, u"paid_amount"_s));
        scheduled += amount;
        paid += settled;
        transactions.append(QVariantMap {
            { u"date"_s, row.value(u"due_date"_s).toString() },
            { u"description"_s,
                u"قسط وحدة "_s + row.value(u"unit_number"_s).toString() + u" ("_s
                    + row.value(u"property_name"_s).toString() + u")"_s },
            { u"reference"_s, u"Installment #"_s + row.value(u"id"_s).toString() },
            { u"amount"_s, money(Money::fromCents(amount)) },
            { u"balance"_s, money(Money::fromCents(amount - settled)) },
        });
    }
    const QVariantMap totals {
        { u"إجمالي قيمة الأقساط"_s, money(Money::fromCents(scheduled)) },
        { u"إجمالي المسدد"_s, money(Money::fromCents(paid)) },
        { u"المتبقي الكلي"_s, money(Money::fromCents(scheduled - paid)) },
    };
    return m_print->saveStatement(
        buyer.value(u"full_name"_s).toString(), u"مشتري"_s, transactions, totals, path);
}

bool ReportPrinter::contractorStatement(
    int id, const QString &from, const QString &to, const QString &path, QString *error)
{
    ExpenseModel expenses(m_db);
    const QVariantMap contractor = rowWithId(expenses.getContractors(), id);
    if (contractor.isEmpty()) {
        *error = u"no contractor with id "_s + QString::number(id);
        return false;
    }
    ReportController reports(m_db);
    QVariantList rows = reports.getContractorStatement(id, from, to);
    // The report lists the newest first; a running total reads from the oldest.
    std::reverse(rows.begin(), rows.end());
    QVariantList transactions;
    qint64 total = 0;
    for (const QVariant &element : rows) {
        const QVariantMap row = element.toMap();
        const qint64 amount = Money::cents(figure(row, u"amount"_s));
        total += amount;
        QString where = row.value(u"property_name"_s).toString();
        if (!row.value(u"unit_number"_s).toString().isEmpty())
            where += u" - وحدة "_s + row.value(u"unit_number"_s).toString();
        transactions.append(QVariantMap {
            { u"date"_s, row.value(u"expense_date"_s).toString() },
            { u"description"_s,
                row.value(u"category"_s).toString() + u" - "_s
                    + row.value(u"description"_s).toString() + u" ("_s + where + u")"_s },
            { u"reference"_s, u"Expense #"_s + row.value(u"id"_s).toString() },
            { u"amount"_s, money(Money::fromCents(amount)) },
            { u"balance"_s, money(Money::fromCents(total)) },
        });
    }
    const QVariantMap totals {
        { u"إجمالي الأعمال"_s, money(Money::fromCents(total)) },
        { u"عدد البنود"_s, QString::number(transactions.size()) },
    };
    return m_print->saveStatement(
        contractor.value(u"name"_s).toString(), u"مقاول"_s, transactions, totals, path);
}
