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

double figure(const QVariantMap &row, const QString &key)
{
    const double value = row.value(key).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

QString chequeStatus(const QString &status)
{
    if (status == u"paid"_s)
        return u"تم الصرف"_s;
    if (status == u"deposited"_s)
        return u"مودع"_s;
    if (status == u"returned"_s)
        return u"معاد للساحب"_s;
    if (status == u"cancelled"_s)
        return u"ملغى"_s;
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
    // The very document the reports page prints for its financial tab.
    ReportController reports(m_db);
    return m_print->saveDocument(reports.getPrintableReport(u"financial"_s, from, to), path);
}

bool ReportPrinter::arrears(const QString &path)
{
    ReportController reports(m_db);
    return m_print->saveDocument(reports.getPrintableReport(u"overdue"_s, {}, {}), path);
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
    const QVariantMap tenant = TenantModel(m_db).getById(id);
    if (tenant.isEmpty()) {
        *error = u"no tenant with id "_s + QString::number(id);
        return false;
    }
    return m_print->saveAccountStatement(tenant.value(u"full_name"_s).toString(), u"مستأجر"_s,
        ReportController(m_db).getTenantAccount(id, from, to), path);
}

bool ReportPrinter::buyerStatement(
    int id, const QString &from, const QString &to, const QString &path, QString *error)
{
    const QVariantMap buyer = rowWithId(BuyerModel(m_db).getAll(), id);
    if (buyer.isEmpty()) {
        *error = u"no buyer with id "_s + QString::number(id);
        return false;
    }
    return m_print->saveAccountStatement(buyer.value(u"full_name"_s).toString(), u"مشتري"_s,
        ReportController(m_db).getBuyerAccount(id, from, to), path);
}

bool ReportPrinter::contractorStatement(
    int id, const QString &from, const QString &to, const QString &path, QString *error)
{
    const QVariantMap contractor = rowWithId(ExpenseModel(m_db).getContractors(), id);
    if (contractor.isEmpty()) {
        *error = u"no contractor with id "_s + QString::number(id);
        return false;
    }
    return m_print->saveAccountStatement(contractor.value(u"name"_s).toString(), u"مقاول"_s,
        ReportController(m_db).getContractorAccount(id, from, to), path);
}
