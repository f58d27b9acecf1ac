#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

// Statements, period reports, profitability and the rule-based insight texts. Read-only: it
// works on the operating tables, not on the journal.
class ReportController : public QObject
{
    Q_OBJECT
public:
    explicit ReportController(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getTenantStatement(
        int tid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantList getBuyerStatement(
        int bid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantList getContractorStatement(
        int cid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantList getChequeReport(const QString &status = QString(),
        const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantList getMonthlyReport(const QString &year);
    Q_INVOKABLE QVariantMap getProfitLoss(const QString &from, const QString &to);
    Q_INVOKABLE QVariantMap getBalanceSheet();
    Q_INVOKABLE QVariantList getOverdueInstallments();
    Q_INVOKABLE QVariantList getPropertyComparison();

    Q_INVOKABLE QVariantMap getProjectDetailedFinancials(
        int pid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantMap getPropertyProfitability(
        int pid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantMap getUnitProfitability(int uid);

    Q_INVOKABLE QVariantList getAIInsights();
    Q_INVOKABLE QVariantMap getSmartAIAnalysis();

private:
    QVariantMap firstRow(const QString &sql, const QVariantList &params = {}) const;
    // The first row's value under key, or the integer 0 when the query gave no row.
    QVariant figure(const QString &sql, const QString &key, const QVariantList &params = {}) const;
    QVariantList statement(const QString &base, const QString &dayColumn, const QString &ordering,
        const QVariantList &ids, const QString &from, const QString &to) const;

    Database *m_db;
};
