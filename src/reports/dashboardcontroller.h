#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

// Figures of the start page. Read-only: nothing here writes or caches.
class DashboardController : public QObject
{
    Q_OBJECT
public:
    explicit DashboardController(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantMap getStats();
    Q_INVOKABLE QVariantList getRecentPayments(int limit = 5);
    Q_INVOKABLE QVariantList getRecentMaintenance(int limit = 3);
    Q_INVOKABLE QVariantList getExpiringContracts(int days = 30);
    Q_INVOKABLE double getOccupancyRate();
    Q_INVOKABLE double getCollectionRate();
    Q_INVOKABLE double getMonthlyRevenue();
    // The last six calendar months, oldest first: label (Arabic month name), value (sum of the
    // payments dated in that month) and month ("yyyy-MM").
    Q_INVOKABLE QVariantList getCollectionChart();
    // The arrears card: over_30 (owed more than 30 days past due, in the primary currency at each
    // amount's dated rate), accounts_over_90 and primary_symbol.
    Q_INVOKABLE QVariantMap getArrearsSummary();

private:
    QVariantMap firstRow(const QString &sql, const QVariantList &params = {}) const;

    Database *m_db;
};
