#pragma once

#include <QObject>
#include <QStringList>
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
    // An account as a statement: {lines, opening_balance, total_debit, total_credit,
    // closing_balance, currency_symbol, currencies}. One line per charge (debit) and per payment
    // (credit) in date order, charges before the payments of the same day, and a running
    // balance from the opening balance of the range; amounts of different currencies keep their
    // own balance and their own entry in `currencies`.
    Q_INVOKABLE QVariantMap getTenantAccount(
        int tid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantMap getBuyerAccount(
        int bid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantMap getContractorAccount(
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
    // getProjectDetailedFinancials for every property at once, in name order, each map with the
    // property's id and name beside the same figures (rounded to the cent): a few grouped sums
    // rather than a query set per property.
    Q_INVOKABLE QVariantList getProjectsFinancials();
    Q_INVOKABLE QVariantMap getPropertyProfitability(
        int pid, const QString &from = QString(), const QString &to = QString());
    Q_INVOKABLE QVariantMap getUnitProfitability(int uid);

    // What the reports page prints for one of its tabs ("analysis", "financial", "projects",
    // "units", "overdue", "cheques", "arrears"), as a document for PrintController::printDocument.
    // `propertyId` and `sortKey` narrow and order the arrears as the tab shows them.
    Q_INVOKABLE QVariantMap getPrintableReport(const QString &kind, const QString &from = QString(),
        const QString &to = QString(), int propertyId = 0, const QString &sortKey = QString());

    // Open amounts of every tenant and buyer by age, per property and currency (Arrears::report).
    Q_INVOKABLE QVariantMap getArrears(int propertyId = 0, const QString &sortKey = QString());
    // One tenant's or buyer's ("tenant"/"buyer") open amounts by age, per property and currency.
    Q_INVOKABLE QVariantList getAccountArrears(const QString &kind, int personId);

    // Rented units over the units that can be rented, in percent; 0 means every property.
    Q_INVOKABLE double getOccupancy(int propertyId = 0);
    // Currencies whose older money the totals count unconverted, for a warning beside them.
    Q_INVOKABLE QStringList getCurrenciesWithoutRate();

    Q_INVOKABLE QVariantList getAIInsights();
    Q_INVOKABLE QVariantMap getSmartAIAnalysis();

private:
    QVariantMap firstRow(const QString &sql, const QVariantList &params = {}) const;
    // The first row's value under key, or the integer 0 when the query gave no row.
    QVariant figure(const QString &sql, const QString &key, const QVariantList &params = {}) const;
    QVariantMap account(const QString &sql, const QVariantList &params, const QString &from,
        const QString &to) const;

    Database *m_db;
};
