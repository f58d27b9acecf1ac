// Times every list and figure the interface loads, on an existing database, next to a floor: the
// very statements each operation ran (captured with SQLite's trace hook, bound values expanded),
// prepared once and stepped through SQLite's C API on a second connection, reading every column.
// For lists, "maps ms" is what building and freeing the same row maps costs with no SQL at all.
// With --database, every operation also runs on a PostgreSQL server holding the same portfolio,
// reported against the file's time in the same run (the C API floor exists for the file alone).
//
//   ./build/tools/listbench/listbench --db PATH/belvardino.db --runs 5 [--database URL]

#include "accountmodel.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "dashboardcontroller.h"
#include "database.h"
#include "datadirlock.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "listcatalog.h"
#include "maintenancemodel.h"
#include "notificationcontroller.h"
#include "pagedlistmodel.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "recordsearch.h"
#include "reportcontroller.h"
#include "servicemodel.h"
#include "tenantmodel.h"
#include "unitmodel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<std::string> s_captured;
bool s_capturing = false;
QVariantList s_result; // the rows of the capturing call

// The same rows built afresh from values already in memory, strings copied: what the row maps
// alone cost to build and free, with no SQL at all.
qint64 rebuild(const QVariantList &rows)
{
    QVariantList copy;
    copy.reserve(rows.size());
    for (const QVariant &row : rows) {
        const QVariantMap source = row.toMap();
        QVariantMap map;
        for (auto it = source.cbegin(); it != source.cend(); ++it) {
            const QVariant &value = it.value();
            if (value.metaType() == QMetaType::fromType<QString>() && !value.isNull()) {
                const QString text = value.toString();
                map.insert(it.key(), QString(text.constData(), text.size()));
            } else {
                map.insert(it.key(), value);
            }
        }
        copy.append(map);
    }
    return copy.size();
}

int traceStatement(unsigned type, void *, void *statement, void *)
{
    if (type == SQLITE_TRACE_STMT && s_capturing) {
        char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(statement));
        if (sql) {
            s_captured.emplace_back(sql);
            sqlite3_free(sql);
        }
    }
    return 0;
}

sqlite3 *handleOf(const QSqlDatabase &connection)
{
    const QVariant handle = connection.driver()->handle();
    return handle.isValid() ? *static_cast<sqlite3 *const *>(handle.constData()) : nullptr;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Steps a prepared statement to its end, reading every column of every row as the driver would.
qint64 stepAll(sqlite3_stmt *statement)
{
    qint64 bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(statement);
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                bytes += sqlite3_column_int64(statement, c) & 1;
                break;
            case SQLITE_FLOAT:
                bytes += sqlite3_column_double(statement, c) > 0;
                break;
            case SQLITE_TEXT:
                sqlite3_column_text(statement, c);
                bytes += sqlite3_column_bytes(statement, c);
                break;
            default:
                break;
            }
        }
    }
    sqlite3_reset(statement);
    return bytes;
}

struct Operation
{
    QString name;
    std::function<int()> call; // returns a row or figure count, so nothing is optimised away
};

// Every model the interface reads, on one database.
struct Models
{
    explicit Models(Database *database)
        : db(database)
        , properties(db)
        , units(db)
        , tenants(db)
        , contracts(db)
        , invoices(db)
        , payments(db)
        , maintenance(db)
        , expenses(db)
        , accounts(db)
        , cheques(db)
        , buyers(db)
        , installments(db)
        , currencies(db)
        , dashboard(db)
        , reports(db)
        , auth(db)
        , alerts(db)
        , audit(db)
        , services(db)
        , catalog(db)
        , search(db)
    {
    }
    Database *db;
    PropertyModel properties;
    UnitModel units;
    TenantModel tenants;
    ContractModel contracts;
    InvoiceModel invoices;
    PaymentModel payments;
    MaintenanceModel maintenance;
    ExpenseModel expenses;
    AccountModel accounts;
    ChequeModel cheques;
    BuyerModel buyers;
    InstallmentModel installments;
    CurrencyModel currencies;
    DashboardController dashboard;
    ReportController reports;
    AuthController auth;
    NotificationController alerts;
    AuditManager audit;
    ServiceModel services;
    ListCatalog catalog;
    RecordSearch search;
};

} // namespace

int main(int argc, char *argv[])
{
    Database::configureLibrary();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ u"db"_s, u"Database file to read."_s, u"path"_s });
    parser.addOption({ u"runs"_s, u"Runs per operation (median reported)."_s, u"n"_s, u"5"_s });
    parser.addOption(
        { u"only"_s, u"Measure only the operations whose name matches."_s, u"regex"_s });
    parser.addOption({ u"database"_s,
        u"Also run every operation on this PostgreSQL server's database, holding the same "
        "portfolio (belvardino-cli to-server)."_s,
        u"url"_s });
    parser.process(app);
    const QString url = parser.value(u"database"_s);
    if (!url.isEmpty() && !Database::isServerUrl(url))
        qFatal("--database needs a postgresql:// URL");
    const QString path = parser.value(u"db"_s);
    const int runs = std::max(1, parser.value(u"runs"_s).toInt());
    if (path.isEmpty())
        parser.showHelp(1);

    // Opening upgrades the file in place, so the folder is locked as the application does.
    DataDirLock lock(QFileInfo(path).absolutePath());
    if (!lock.tryLock())
        qFatal("%s is in use by a running Belvardino or cannot be written", qPrintable(path));
    Database db;
    if (!db.initialize(path))
        qFatal("cannot open %s", qPrintable(path));
    sqlite3 *live = handleOf(QSqlDatabase::database());
    sqlite3_trace_v2(live, SQLITE_TRACE_STMT, &traceStatement, nullptr);

    sqlite3 *floorDb = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &floorDb, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK)
        qFatal("cannot open the floor connection");
    sqlite3_exec(floorDb, "PRAGMA cache_size=-64000", nullptr, nullptr, nullptr);

    auto firstId = [&](const QString &sql) {
        return Database::firstRow(db.execQuery(sql)).value(u"id"_s).toInt();
    };
    // The busiest records, so statements read their largest lists.
    const int tenant = firstId(
        u"SELECT tenant_id AS id FROM invoices GROUP BY tenant_id ORDER BY COUNT(*) DESC LIMIT 1"_s);
    const int buyer = firstId(
        u"SELECT buyer_id AS id FROM installments GROUP BY buyer_id ORDER BY COUNT(*) DESC LIMIT 1"_s);
    const int property = firstId(
        u"SELECT property_id AS id FROM units GROUP BY property_id ORDER BY COUNT(*) DESC LIMIT 1"_s);
    const int contractor = firstId(
        u"SELECT contractor_id AS id FROM expenses WHERE contractor_id IS NOT NULL GROUP BY contractor_id ORDER BY COUNT(*) DESC LIMIT 1"_s);
    const int unit = firstId(u"SELECT id FROM units WHERE property_id=? LIMIT 1"_s.replace(
        u"?"_s, QString::number(property)));
    const int invoice = firstId(u"SELECT id FROM invoices ORDER BY id DESC LIMIT 1"_s);
    const int rareAccount = firstId(u"SELECT account_id AS id FROM journal_lines GROUP BY "
                                    "account_id ORDER BY COUNT(*) LIMIT 1"_s);
    const QString yearStart = QDate(QDate::currentDate().year(), 1, 1).toString(Qt::ISODate);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString year = QString::number(QDate::currentDate().year());

    auto rows = [](const QVariantList &list) {
        if (s_capturing)
            s_result = list;
        return int(list.size());
    };
    auto keys = [](const QVariantMap &map) { return int(map.size()); };
    // A paged list as its page reads it: narrowed, then its first screenful.
    auto firstPage = [](ListCatalog &catalog, const QString &name, const QVariantMap &filters) {
        std::unique_ptr<PagedListModel> list(catalog.open(name));
        list->setFilters(filters);
        list->setActive(true);
        return list->count();
    };
    // The same operations on the file's models or on the server's.
    const auto operationsOn = [=](Models *m) -> std::vector<Operation> {
        return {
            { u"picker: tenants, first page"_s,
                [=] { return rows(m->search.find(u"tenant"_s, QString(), 0, 30)); } },
            { u"picker: tenants, typed"_s,
                [=] { return rows(m->search.find(u"tenant"_s, u"محمد"_s, 0, 30)); } },
            { u"picker: available units, typed"_s,
                [=] { return rows(m->search.find(u"availableUnit"_s, u"1"_s, 0, 30)); } },
            { u"picker: a tenant's invoices"_s,
                [=] { return rows(m->search.find(u"invoice"_s, QString(), 0, 30, tenant)); } },
            { u"propertyModel.getAll"_s, [=] { return rows(m->properties.getAll()); } },
            { u"propertyModel.search"_s, [=] { return rows(m->properties.search(u"ب"_s)); } },
            { u"propertyModel.getStats"_s, [=] { return keys(m->properties.getStats(property)); } },
            { u"unitModel.getAll"_s, [=] { return rows(m->units.getAll()); } },
            { u"unitModel.getByProperty"_s,
                [=] { return rows(m->units.getByProperty(property)); } },
            { u"unitModel.getAvailable"_s, [=] { return rows(m->units.getAvailable()); } },
            { u"tenantModel.getAll"_s, [=] { return rows(m->tenants.getAll()); } },
            { u"tenantModel.search"_s, [=] { return rows(m->tenants.search(u"05"_s)); } },
            { u"tenantModel.getStatement"_s,
                [=] { return rows(m->tenants.getStatement(tenant)); } },
            { u"contractModel.getAll"_s, [=] { return rows(m->contracts.getAll()); } },
            { u"serviceModel.readingSheet"_s,
                [=] {
                    return rows(m->services.readingSheet(
                        property, QDate::currentDate().toString(u"yyyy-MM"_s)));
                } },
            { u"contractModel.getExpiring"_s, [=] { return rows(m->contracts.getExpiring(30)); } },
            { u"contracts dialog (execQuery)"_s,
                [=] {
                    return rows(m->db->execQuery(
                        u"SELECT c.*, u.unit_number, p.name as property_name FROM contracts c JOIN units u ON c.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE c.tenant_id=? ORDER BY c.start_date DESC"_s,
                        { tenant }));
                } },
            { u"invoiceModel.getAll"_s, [=] { return rows(m->invoices.getAll()); } },
            { u"invoiceModel.getLatest(500)"_s, [=] { return rows(m->invoices.getLatest(500)); } },
            { u"invoiceModel.getByTenant"_s,
                [=] { return rows(m->invoices.getByTenant(tenant)); } },
            { u"invoiceModel.getItems"_s, [=] { return rows(m->invoices.getItems(invoice)); } },
            { u"payment dialog (execQuery)"_s,
                [=] {
                    return rows(m->db->execQuery(
                        u"SELECT id, invoice_number, balance, currency_id FROM invoices WHERE tenant_id=? AND status!='paid'"_s,
                        { tenant }));
                } },
            { u"paymentModel.getAll"_s, [=] { return rows(m->payments.getAll()); } },
            { u"paymentModel.getLatest(500)"_s, [=] { return rows(m->payments.getLatest(500)); } },
            { u"paymentModel.getRecent"_s, [=] { return rows(m->payments.getRecent()); } },
            { u"paymentModel.getByTenant"_s,
                [=] { return rows(m->payments.getByTenant(tenant)); } },
            { u"maintenanceModel.getAll"_s, [=] { return rows(m->maintenance.getAll()); } },
            { u"maintenanceModel.getByStatus"_s,
                [=] { return rows(m->maintenance.getByStatus(u"new"_s)); } },
            { u"maintenanceModel.getCount"_s, [=] { return m->maintenance.getCount(); } },
            { u"expenseModel.getAll"_s, [=] { return rows(m->expenses.getAll()); } },
            { u"expenseModel.getByProperty"_s,
                [=] { return rows(m->expenses.getByProperty(property)); } },
            { u"expenseModel.getTotal"_s, [=] { return int(m->expenses.getTotal()); } },
            { u"expenseModel.getContractors"_s,
                [=] { return rows(m->expenses.getContractors()); } },
            { u"expenseModel.getContractorExpenses"_s,
                [=] { return rows(m->expenses.getContractorExpenses(contractor)); } },
            { u"accountModel.getAll"_s, [=] { return rows(m->accounts.getAll()); } },
            { u"accountModel.getJournalEntries"_s,
                [=] { return rows(m->accounts.getJournalEntries()); } },
            { u"accountModel.getProfitLoss"_s,
                [=] { return keys(m->accounts.getProfitLoss(yearStart, today)); } },
            { u"accountModel.getBalanceSheet"_s,
                [=] { return keys(m->accounts.getBalanceSheet()); } },
            { u"chequeModel.getAll"_s, [=] { return rows(m->cheques.getAll()); } },
            { u"chequeModel.getByType"_s,
                [=] { return rows(m->cheques.getByType(u"received"_s)); } },
            { u"chequeModel.getByStatus"_s,
                [=] { return rows(m->cheques.getByStatus(u"pending"_s)); } },
            { u"chequeModel.getPending"_s, [=] { return rows(m->cheques.getPending()); } },
            { u"chequeModel.getPostDated"_s, [=] { return rows(m->cheques.getPostDated()); } },
            { u"chequeModel.statusTotals"_s, [=] { return rows(m->cheques.statusTotals()); } },
            { u"paged: cheques, first page"_s,
                [=] { return firstPage(m->catalog, u"cheques"_s, {}); } },
            { u"paged: received cheques, first page"_s,
                [=] {
                    return firstPage(m->catalog, u"cheques"_s, { { u"type"_s, u"received"_s } });
                } },
            { u"paged: units, first page"_s,
                [=] { return firstPage(m->catalog, u"units"_s, {}); } },
            { u"paged: overdue installments, first page"_s,
                [=] {
                    return firstPage(m->catalog, u"installments"_s,
                        { { u"unpaidBefore"_s, QDate::currentDate().toString(Qt::ISODate) } });
                } },
            { u"paged: journal, first page"_s,
                [=] { return firstPage(m->catalog, u"journal"_s, {}); } },
            { u"paged: journal of the least used account"_s,
                [=] {
                    return firstPage(m->catalog, u"journal"_s, { { u"account"_s, rareAccount } });
                } },
            { u"buyerModel.getAll"_s, [=] { return rows(m->buyers.getAll()); } },
            { u"buyerModel.getStatement"_s, [=] { return rows(m->buyers.getStatement(buyer)); } },
            { u"installmentModel.getAll"_s, [=] { return rows(m->installments.getAll()); } },
            { u"installmentModel.getByBuyer"_s,
                [=] { return rows(m->installments.getByBuyer(buyer)); } },
            { u"installmentModel.getOverdue"_s,
                [=] { return rows(m->installments.getOverdue()); } },
            { u"currencyModel.getAll"_s, [=] { return rows(m->currencies.getAll()); } },
            { u"currencyModel.getExchangeRates"_s,
                [=] { return rows(m->currencies.getExchangeRates()); } },
            { u"dashboardCtrl.getStats"_s, [=] { return keys(m->dashboard.getStats()); } },
            { u"dashboardCtrl.getRecentPayments"_s,
                [=] { return rows(m->dashboard.getRecentPayments()); } },
            { u"dashboardCtrl.getRecentMaintenance"_s,
                [=] { return rows(m->dashboard.getRecentMaintenance()); } },
            { u"dashboardCtrl.getExpiringContracts"_s,
                [=] { return rows(m->dashboard.getExpiringContracts()); } },
            { u"dashboardCtrl.getOccupancyRate"_s,
                [=] { return int(m->dashboard.getOccupancyRate()); } },
            { u"dashboardCtrl.getCollectionRate"_s,
                [=] { return int(m->dashboard.getCollectionRate()); } },
            { u"dashboardCtrl.getMonthlyRevenue"_s,
                [=] { return int(m->dashboard.getMonthlyRevenue()); } },
            { u"dashboardCtrl.getCollectionChart"_s,
                [=] { return rows(m->dashboard.getCollectionChart()); } },
            { u"dashboardCtrl.getArrearsSummary"_s,
                [=] { return keys(m->dashboard.getArrearsSummary()); } },
            { u"reportCtrl.getTenantStatement"_s,
                [=] { return rows(m->reports.getTenantStatement(tenant)); } },
            { u"reportCtrl.getBuyerStatement"_s,
                [=] { return rows(m->reports.getBuyerStatement(buyer)); } },
            { u"reportCtrl.getContractorStatement"_s,
                [=] { return rows(m->reports.getContractorStatement(contractor)); } },
            { u"reportCtrl.getChequeReport"_s,
                [=] { return rows(m->reports.getChequeReport(QString(), yearStart, today)); } },
            { u"reportCtrl.getMonthlyReport"_s,
                [=] { return rows(m->reports.getMonthlyReport(year)); } },
            { u"reportCtrl.getProfitLoss"_s,
                [=] { return keys(m->reports.getProfitLoss(yearStart, today)); } },
            { u"reportCtrl.getBalanceSheet"_s, [=] { return keys(m->reports.getBalanceSheet()); } },
            { u"reportCtrl.getOverdueInstallments"_s,
                [=] { return rows(m->reports.getOverdueInstallments()); } },
            { u"reportCtrl.getPropertyComparison"_s,
                [=] { return rows(m->reports.getPropertyComparison()); } },
            { u"reportCtrl.getProjectDetailedFinancials"_s,
                [=] {
                    return keys(
                        m->reports.getProjectDetailedFinancials(property, yearStart, today));
                } },
            { u"reportCtrl.getProjectsFinancials"_s,
                [=] { return rows(m->reports.getProjectsFinancials()); } },
            { u"reportCtrl.getPropertyProfitability"_s,
                [=] {
                    return keys(m->reports.getPropertyProfitability(property, yearStart, today));
                } },
            { u"reportCtrl.getUnitProfitability"_s,
                [=] { return keys(m->reports.getUnitProfitability(unit)); } },
            { u"reportCtrl.getArrears"_s,
                [=] { return rows(m->reports.getArrears().value(u"rows"_s).toList()); } },
            { u"reportCtrl.getArrears(property, by name)"_s,
                [=] {
                    return rows(
                        m->reports.getArrears(property, u"name"_s).value(u"rows"_s).toList());
                } },
            { u"reportCtrl.getAccountArrears"_s,
                [=] { return rows(m->reports.getAccountArrears(u"tenant"_s, tenant)); } },
            { u"reportCtrl.getAIInsights"_s, [=] { return rows(m->reports.getAIInsights()); } },
            { u"reportCtrl.getSmartAIAnalysis"_s,
                [=] { return keys(m->reports.getSmartAIAnalysis()); } },
            { u"notifyCtrl.getActiveAlerts"_s, [=] { return rows(m->alerts.getActiveAlerts()); } },
            { u"notifyCtrl.getAlertCount"_s, [=] { return m->alerts.getAlertCount(); } },
            { u"authCtrl.getUsers"_s, [=] { return rows(m->auth.getUsers()); } },
            { u"auditMgr.getLogs"_s, [=] { return rows(m->audit.getLogs()); } },
        };
    };
    Models onFile(&db);
    const std::vector<Operation> operations = operationsOn(&onFile);
    // The same records on the server: to-server keeps every id.
    std::unique_ptr<Database> server;
    std::unique_ptr<Models> onServer;
    std::vector<Operation> serverOperations;
    if (!url.isEmpty()) {
        server = std::make_unique<Database>();
        if (!server->initialize(url, u"server"_s))
            qFatal("cannot open %s", qPrintable(url));
        onServer = std::make_unique<Models>(server.get());
        serverOperations = operationsOn(onServer.get());
    }

    std::printf("%-42s %8s %12s %12s %7s   %10s", "operation", "rows", "median ms", "floor ms",
        "ratio", "maps ms");
    if (server)
        std::printf(" %10s %8s", "server ms", "srv/file");
    std::printf("\n");
    int serverOver = 0;
    double serverWorst = 0;
    int failures = 0;
    double worst = 0;
    const QRegularExpression only(parser.value(u"only"_s));
    int measured = 0;
    for (size_t index = 0; index < operations.size(); ++index) {
        const Operation &operation = operations[index];
        if (!operation.name.contains(only))
            continue;
        ++measured;
        s_captured.clear();
        s_capturing = true;
        const int result = operation.call();
        s_capturing = false;

        std::vector<sqlite3_stmt *> statements;
        for (const std::string &sql : s_captured) {
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(floorDb, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
                statements.push_back(statement);
        }

        const QVariantList returned = std::exchange(s_result, {});
        std::vector<double> times, floors, maps, serverTimes;
        if (server)
            serverOperations[index].call(); // its statements prepared, as on the file above
        for (int run = 0; run < runs; ++run) {
            if (server) {
                QElapsedTimer timer;
                timer.start();
                serverOperations[index].call();
                serverTimes.push_back(timer.nsecsElapsed() / 1e6);
            }
            QElapsedTimer timer;
            timer.start();
            operation.call();
            times.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            for (sqlite3_stmt *statement : statements)
                stepAll(statement);
            floors.push_back(timer.nsecsElapsed() / 1e6);
            if (!returned.isEmpty()) {
                timer.restart();
                rebuild(returned);
                maps.push_back(timer.nsecsElapsed() / 1e6);
            }
        }
        for (sqlite3_stmt *statement : statements)
            sqlite3_finalize(statement);

        const double time = median(times);
        // Sub-millisecond figures are dominated by clock noise; judge them against 0.1 ms.
        const double floor = std::max(median(floors), 0.1);
        const double ratio = std::max(time, 0.1) / floor;
        worst = std::max(worst, ratio);
        if (ratio > 3.0)
            ++failures;
        std::printf("%-42s %8d %12.3f %12.3f %6.2f%s", qPrintable(operation.name), result, time,
            median(floors), ratio, ratio > 3.0 ? " !" : "  ");
        if (maps.empty())
            std::printf(" %10s", "");
        else
            std::printf(" %10.3f", median(maps));
        if (server) {
            const double against = std::max(median(serverTimes), 0.1) / std::max(time, 0.1);
            serverWorst = std::max(serverWorst, against);
            serverOver += against > 3.0;
            std::printf(" %10.3f %7.2f%s", median(serverTimes), against, against > 3.0 ? " !" : "");
        }
        std::printf("\n");
    }
    std::printf(
        "\n%d operations, %d above 3x the floor, worst ratio %.2f\n", measured, failures, worst);
    if (server)
        std::printf("server: %d operations above 3x the file, worst ratio %.2f (the floor is "
                    "SQLite's C API on the file)\n",
            serverOver, serverWorst);
    sqlite3_close(floorDb);
    return failures == 0 ? 0 : 2;
}
