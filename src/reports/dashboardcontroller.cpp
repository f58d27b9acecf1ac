#include "dashboardcontroller.h"

#include "arrears.h"
#include "database.h"
#include "figures.h"
#include "money.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

QDate monthStart(int monthsBack = 0)
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(-monthsBack);
}

QString iso(const QDate &day) { return day.toString(Qt::ISODate); }

// Rent and service collections of a calendar month; sale money is its own figure.
double monthRevenue(Database *db, const QDate &first)
{
    return Figures::rentCollections(db, iso(first), iso(first.addMonths(1).addDays(-1)));
}

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
    const double current = monthRevenue(m_db, monthStart());
    stats.insert(u"monthlyRevenue"_s, current);
    stats.insert(u"monthlySales"_s,
        Figures::saleCollections(
            m_db, iso(monthStart()), iso(monthStart().addMonths(1).addDays(-1))));
    stats.insert(u"pendingMaintenance"_s,
        figure(u"SELECT COUNT(*) as c FROM maintenance_requests "
               "WHERE status IN ('new','in_progress')"_s,
            u"c"_s));

    const double previous = monthRevenue(m_db, monthStart(1));
    double growth = 0.0;
    if (Money::cents(previous) > 0)
        growth = (current - previous) / previous * 100.0;
    stats.insert(u"revenueGrowth"_s, growth);
    stats.insert(u"currenciesWithoutRate"_s, Figures::currenciesWithoutRate(m_db));
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

double DashboardController::getOccupancyRate() { return Figures::occupancy(m_db); }

double DashboardController::getCollectionRate()
{
    // The "yyyy-MM" period is compared as text with the first day of last month, so only the
    // current and later billing months sort at or above it.
    const QVariantMap row = firstRow(
        u"SELECT COALESCE(SUM(total_amount),0) as total, COALESCE(SUM(paid_amount),0) as paid "
        "FROM invoices WHERE status!='void' AND "
        "period >= date('now','localtime','start of month','-1 month')"_s);
    if (row.isEmpty())
        return 0.0;
    return percent(row.value(u"paid"_s).toDouble(), row.value(u"total"_s).toDouble());
}

double DashboardController::getMonthlyRevenue() { return monthRevenue(m_db, monthStart()); }

QVariantList DashboardController::getCollectionChart()
{
    static const QStringList monthNames { u"يناير"_s, u"فبراير"_s, u"مارس"_s, u"أبريل"_s, u"مايو"_s,
        u"يونيو"_s, u"يوليو"_s, u"أغسطس"_s, u"سبتمبر"_s, u"أكتوبر"_s, u"نوفمبر"_s, u"ديسمبر"_s };

    const QDate first = monthStart(5);
    QVariantList chart;
    for (int i = 0; i < 6; ++i) {
        const QDate month = first.addMonths(i);
        const QString key = month.toString(u"yyyy-MM"_s);
        chart.append(QVariantMap { { u"label"_s, monthNames.at(month.month() - 1) },
            { u"value"_s, monthRevenue(m_db, month) }, { u"month"_s, key } });
    }
    return chart;
}

QVariantMap DashboardController::getArrearsSummary() { return Arrears::summary(m_db); }
