#include "dashboardcontroller.h"

#include "database.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

const QString monthRevenueSql = u"SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE "
                                "payment_date >= date('now','localtime','start of month')"_s;

// A percentage whose denominator is checked first, so it is never infinite or NaN.
double percent(double part, double whole) { return whole > 0 ? part / whole * 100.0 : 0.0; }

}

DashboardController::DashboardController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

QVariantMap DashboardController::firstRow(const QString &sql, const QVariantList &params) const
{
    return Database::firstRow(m_db->execQuery(sql, params));
}

QVariantMap DashboardController::getStats()
{
    // Counters keep the type the query produced; a failed query gives the integer 0.
    const auto figure = [this](const QString &sql, const QString &key) {
        const QVariantMap row = firstRow(sql);
        return row.isEmpty() ? QVariant(0) : row.value(key);
    };

    QVariantMap stats;
    stats.insert(u"totalProperties"_s, figure(u"SELECT COUNT(*) as c FROM properties"_s, u"c"_s));
    stats.insert(u"activeTenants"_s,
        figure(u"SELECT COUNT(*) as c FROM tenants t JOIN contracts c ON t.id=c.tenant_id "
               "WHERE c.status='active'"_s,
            u"c"_s));
    const QVariant revenue = figure(monthRevenueSql, u"t"_s);
    stats.insert(u"monthlyRevenue"_s, revenue);
    stats.insert(u"pendingMaintenance"_s,
        figure(u"SELECT COUNT(*) as c FROM maintenance_requests "
               "WHERE status IN ('new','in_progress')"_s,
            u"c"_s));

    const double current = revenue.toDouble();
    const QVariantMap previousRow
        = firstRow(u"SELECT COALESCE(SUM(amount),0) as t FROM payments WHERE payment_date >= "
                   "date('now','localtime','start of month','-1 month') "
                   "AND payment_date < date('now','localtime','start of month')"_s);
    const double previous = previousRow.value(u"t"_s).toDouble();
    double growth = 0.0;
    if (!previousRow.isEmpty() && previous > 0)
        growth = (current - previous) / previous * 100.0;
    stats.insert(u"revenueGrowth"_s, growth);
    return stats;
}

QVariantList DashboardController::getRecentPayments(int limit)
{
    return m_db->execQuery(
        u"SELECT p.*, t.full_name as tenant_name, u.unit_number, pr.name as property_name "
        "FROM payments p LEFT JOIN tenants t ON p.tenant_id=t.id "
        "LEFT JOIN invoices i ON p.invoice_id=i.id LEFT JOIN units u ON i.unit_id=u.id "
        "LEFT JOIN properties pr ON u.property_id=pr.id ORDER BY p.payment_date DESC LIMIT ?"_s,
        { limit });
}

QVariantList DashboardController::getRecentMaintenance(int limit)
{
    return m_db->execQuery(
        u"SELECT m.*, u.unit_number, p.name as property_name FROM maintenance_requests m "
        "JOIN units u ON m.unit_id=u.id JOIN properties p ON u.property_id=p.id "
        "ORDER BY m.created_at DESC LIMIT ?"_s,
        { limit });
}

QVariantList DashboardController::getExpiringContracts(int days)
{
    // No lower bound: leases that already ended but are still active come first.
    return m_db->execQuery(
        u"SELECT c.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
        "FROM contracts c JOIN tenants t ON c.tenant_id=t.id JOIN units u ON c.unit_id=u.id "
        "JOIN properties p ON u.property_id=p.id WHERE c.status='active' AND "
        "c.end_date <= date('now','localtime','+'||?||' days') ORDER BY c.end_date"_s,
        { days });
}

double DashboardController::getOccupancyRate()
{
    // Sold units are not occupied for this figure.
    const QVariantMap row
        = firstRow(u"SELECT COUNT(*) as total, SUM(CASE WHEN status='rented' THEN 1 ELSE 0 END) "
                   "as rented FROM units"_s);
    if (row.isEmpty())
        return 0.0;
    return percent(row.value(u"rented"_s).toInt(), row.value(u"total"_s).toInt());
}

double DashboardController::getCollectionRate()
{
    // The "yyyy-MM" period is compared as text with the first day of last month, so only the
    // current and later billing months sort at or above it.
    const QVariantMap row = firstRow(
        u"SELECT COALESCE(SUM(total_amount),0) as total, COALESCE(SUM(paid_amount),0) as paid "
        "FROM invoices WHERE period >= date('now','localtime','start of month','-1 month')"_s);
    if (row.isEmpty())
        return 0.0;
    return percent(row.value(u"paid"_s).toDouble(), row.value(u"total"_s).toDouble());
}

double DashboardController::getMonthlyRevenue()
{
    return firstRow(monthRevenueSql).value(u"t"_s).toDouble();
}

QVariantList DashboardController::getCollectionChart()
{
    static const QStringList monthNames { u"يناير"_s, u"فبراير"_s, u"مارس"_s, u"أبريل"_s, u"مايو"_s,
        u"يونيو"_s, u"يوليو"_s, u"أغسطس"_s, u"سبتمبر"_s, u"أكتوبر"_s, u"نوفمبر"_s, u"ديسمبر"_s };

    // The current month is SQLite's, like the month of getMonthlyRevenue, so the last bar and
    // the revenue card agree.
    QDate first = QDate::fromString(
        firstRow(u"SELECT date('now','localtime','start of month','-5 months') as m"_s)
            .value(u"m"_s)
            .toString(),
        Qt::ISODate);
    if (!first.isValid()) {
        const QDate today = QDate::currentDate();
        first = QDate(today.year(), today.month(), 1).addMonths(-5);
    }

    QVariantMap sums;
    const QVariantList rows = m_db->execQuery(
        u"SELECT strftime('%Y-%m', payment_date) as month, SUM(amount) as t FROM payments "
        "WHERE date(payment_date) >= ? AND date(payment_date) < ? GROUP BY month"_s,
        { first.toString(Qt::ISODate), first.addMonths(6).toString(Qt::ISODate) });
    for (const QVariant &row : rows) {
        const QVariantMap map = row.toMap();
        sums.insert(map.value(u"month"_s).toString(), map.value(u"t"_s));
    }

    QVariantList chart;
    for (int i = 0; i < 6; ++i) {
        const QDate month = first.addMonths(i);
        const QString key = month.toString(u"yyyy-MM"_s);
        chart.append(QVariantMap { { u"label"_s, monthNames.at(month.month() - 1) },
            { u"value"_s, sums.value(key).toDouble() }, { u"month"_s, key } });
    }
    return chart;
}
