// Times InvoiceModel::generateAllRent for N active leases on a fresh database, next to a floor:
// the same statements through SQLite's C API, prepared once and reused, in one transaction with
// a savepoint per invoice. A third figure runs the same statements through Qt SQL, each prepared
// once, to show what caching statements inside Database would reach. A fourth runs the model with
// automatic posting off: the first side posts every invoice to the journal, as a new database does.
// With --database, the model's two sides also run on fresh databases made on that PostgreSQL
// server (and dropped after); the floor stays SQLite's C API on a file, measured in the same run.
// With --db, the month after a portfolio's last is billed instead, on a fresh copy of the file for
// each run, and with --database on the server database holding the same portfolio, each run
// rolled back there.
//
//   ./build/tools/billingbench/billingbench --leases 10000 --runs 5
//   ./build/tools/billingbench/billingbench --leases 2000 --database postgresql://...
//   ./build/tools/billingbench/billingbench --db PATH/belvardino.db --database postgresql://...

#include "database.h"
#include "invoicemodel.h"
#include "posting.h"
#include "transactionguard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kPeriod = QDate::currentDate().toString(u"yyyy-MM"_s);

// A fresh database with one property, and N units each leased to its own tenant. `path` may be a
// server's URL; its database is then empty.
std::unique_ptr<Database> freshDatabase(const QString &path, int leases)
{
    auto db = std::make_unique<Database>();
    if (!db->initialize(path))
        qFatal("cannot create %s", qPrintable(path));
    TransactionGuard guard(db.get());
    const int property = db->execInsert(
        u"INSERT INTO properties (name, type) VALUES ('برج النخيل', 'residential')"_s);
    for (int i = 1; i <= leases; ++i) {
        const int unit = db->execInsert(u"INSERT INTO units (property_id, unit_number, "
                                        "rent_monthly, status, currency_id) "
                                        "VALUES (?, ?, 1000, 'rented', 1)"_s,
            { property, u"U%1"_s.arg(i) });
        const int tenant
            = db->execInsert(u"INSERT INTO tenants (full_name, phone) VALUES (?, '0599000000')"_s,
                { u"مستأجر %1"_s.arg(i) });
        db->execInsert(
            u"INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, "
            "rent_amount, currency_id) VALUES (?, ?, '2020-01-01', '2099-12-31', ?, 1)"_s,
            { unit, tenant, 800.0 + i % 400 });
    }
    if (!guard.commit())
        qFatal("cannot fill %s", qPrintable(path));
    return db;
}

qint64 timeRun(const QString &path, int leases, bool posted)
{
    std::unique_ptr<Database> db = freshDatabase(path, leases);
    Posting::setOn(db.get(), posted);
    InvoiceModel model(db.get());
    QElapsedTimer timer;
    timer.start();
    const int issued = model.generateAllRent(kPeriod);
    const qint64 elapsed = timer.nsecsElapsed();
    if (issued != leases)
        qFatal("generateAllRent issued %d of %d invoices", issued, leases);
    return elapsed;
}

// A new database posts each invoice to the journal; the second side runs with posting off.
qint64 timeModel(const QString &path, int leases) { return timeRun(path, leases, true); }

qint64 timeUnposted(const QString &path, int leases) { return timeRun(path, leases, false); }

class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            qFatal("prepare failed: %s", sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() { return m_stmt; }
    Statement &bind(int i, int value)
    {
        sqlite3_bind_int(m_stmt, i, value);
        return *this;
    }
    Statement &bind(int i, double value)
    {
        sqlite3_bind_double(m_stmt, i, value);
        return *this;
    }
    Statement &bind(int i, const std::string &value)
    {
        sqlite3_bind_text(m_stmt, i, value.data(), int(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return sqlite3_step(m_stmt); }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    // Runs a statement that returns no rows; true when it succeeded.
    bool run()
    {
        const bool ok = step() == SQLITE_DONE;
        reset();
        return ok;
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

sqlite3 *openFloor(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(path));
    for (const char *pragma : { "PRAGMA journal_mode=WAL", "PRAGMA foreign_keys=ON",
             "PRAGMA synchronous=NORMAL", "PRAGMA cache_size=-64000" })
        sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
    return db;
}

// The rent run's statements for the month `billed` through the C API; the invoices issued and the
// time taken. `keep` false rolls the run back, so a portfolio can be billed again.
int floorRun(sqlite3 *db, const QString &billed, bool keep, qint64 *elapsed)
{
    QElapsedTimer timer;
    timer.start();
    int issued = 0;
    {
        struct Contract
        {
            int id, tenant, unit, currency;
            double rent;
        };
        std::vector<Contract> contracts;
        Statement active(db, "SELECT * FROM contracts WHERE status='active'");
        while (active.step() == SQLITE_ROW) {
            sqlite3_stmt *s = active.get();
            // Columns by position: id, unit_id, tenant_id, ..., rent_amount (5), currency_id (10).
            contracts.push_back({ sqlite3_column_int(s, 0), sqlite3_column_int(s, 2),
                sqlite3_column_int(s, 1), sqlite3_column_int(s, 10), sqlite3_column_double(s, 5) });
        }

        const std::string period = billed.toStdString();
        const std::string due = period + "-28";
        const std::string prefix
            = "INV-" + QDate::currentDate().toString(u"yyyyMM"_s).toStdString() + "-";
        Statement beginRun(db, "SAVEPOINT run");
        Statement endRun(db, "RELEASE run");
        Statement begin(db, "SAVEPOINT invoice");
        Statement end(db, "RELEASE invoice");
        Statement undo(db, "ROLLBACK TO invoice");
        Statement max(db,
            "SELECT MAX(CAST(SUBSTR(invoice_number, LENGTH(?)+1) AS INTEGER)) as mx "
            "FROM invoices WHERE invoice_number LIKE ?");
        Statement duplicate(
            db, "SELECT id FROM invoices WHERE tenant_id=? AND period=? AND status!='void'");
        Statement usage(db,
            "SELECT ur.*, s.name FROM usage_records ur JOIN services s ON "
            "ur.service_id=s.id WHERE ur.unit_id=? AND ur.period=?");
        Statement invoice(db,
            "INSERT INTO invoices (invoice_number,tenant_id,unit_id,contract_id,"
            "period,total_amount,balance,status,currency_id,due_date) "
            "VALUES (?,?,?,?,?,?,?,?,?,?)");
        Statement item(db,
            "INSERT INTO invoice_items (invoice_id,description,type,quantity,"
            "unit_price,total) VALUES (?,?,?,?,?,?)");
        Statement balance(db, "UPDATE tenants SET balance=balance+? WHERE id=?");

        beginRun.run();
        max.bind(1, prefix).bind(2, prefix + "%");
        int sequence = max.step() == SQLITE_ROW ? sqlite3_column_int(max.get(), 0) + 1 : 1;
        max.reset();
        for (const Contract &c : contracts) {
            duplicate.bind(1, c.tenant).bind(2, period);
            const bool billed = duplicate.step() == SQLITE_ROW;
            duplicate.reset();
            if (billed)
                continue;
            struct Line
            {
                std::string description, type;
                double quantity, price, total;
            };
            std::vector<Line> lines { { "إيجار شهري", "rent", 1, c.rent, c.rent } };
            usage.bind(1, c.unit).bind(2, period);
            while (usage.step() == SQLITE_ROW) {
                sqlite3_stmt *s = usage.get();
                const double consumption = sqlite3_column_double(s, 6);
                const double cost = sqlite3_column_double(s, 7);
                lines.push_back({ reinterpret_cast<const char *>(sqlite3_column_text(s, 9)),
                    "usage", consumption, consumption > 1 ? cost / consumption : cost, cost });
            }
            usage.reset();
            double total = 0;
            for (const Line &line : lines)
                total += line.total;

            begin.run();
            std::string number = std::to_string(sequence);
            number = prefix + std::string(number.size() < 4 ? 4 - number.size() : 0, '0') + number;
            invoice.bind(1, number).bind(2, c.tenant).bind(3, c.unit).bind(4, c.id);
            invoice.bind(5, period).bind(6, total).bind(7, total).bind(8, std::string("pending"));
            invoice.bind(9, c.currency).bind(10, due);
            bool ok = invoice.run();
            const int id = int(sqlite3_last_insert_rowid(db));
            for (const Line &line : lines) {
                if (!ok)
                    break;
                item.bind(1, id).bind(2, line.description).bind(3, line.type);
                item.bind(4, line.quantity).bind(5, line.price).bind(6, line.total);
                ok = item.run();
            }
            ok = ok && balance.bind(1, total).bind(2, c.tenant).run();
            if (!ok)
                undo.run();
            end.run();
            if (ok) {
                ++sequence;
                ++issued;
            }
        }
        if (!keep)
            Statement(db, "ROLLBACK TO run").run();
        endRun.run();
    }
    *elapsed = timer.nsecsElapsed();
    return issued;
}

qint64 timeFloor(const QString &path, int leases)
{
    freshDatabase(path, leases).reset();
    sqlite3 *db = openFloor(path);
    qint64 elapsed = 0;
    const int issued = floorRun(db, kPeriod, true, &elapsed);
    sqlite3_close(db);
    if (issued != leases)
        qFatal("floor issued %d of %d invoices", issued, leases);
    return elapsed;
}

// The same statements through Qt SQL with each prepared once and reused, rows read into maps as
// Database reads them: what caching prepared statements inside Database could reach.
qint64 timeQtReused(const QString &path, int leases)
{
    std::unique_ptr<Database> db = freshDatabase(path, leases);
    QSqlDatabase connection = QSqlDatabase::database();
    const auto rows = [](QSqlQuery &query) {
        QVariantList list;
        const QSqlRecord record = query.record();
        while (query.next()) {
            QVariantMap row;
            for (int i = 0; i < record.count(); ++i)
                row.insert(record.fieldName(i), query.value(i));
            list.append(row);
        }
        query.finish();
        return list;
    };
    const auto prepared = [&connection](const QString &sql) {
        QSqlQuery query(connection);
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            qFatal("prepare failed");
        return query;
    };
    const auto run = [](QSqlQuery &query, const QVariantList &params) {
        for (int i = 0; i < params.size(); ++i)
            query.bindValue(i, params.at(i));
        return query.exec();
    };

    QElapsedTimer timer;
    timer.start();
    int issued = 0;
    {
        QSqlQuery active = prepared(u"SELECT * FROM contracts WHERE status='active'"_s);
        active.exec();
        const QVariantList contracts = rows(active);
        const QString prefix = u"INV-"_s + QDate::currentDate().toString(u"yyyyMM"_s) + u"-"_s;
        QSqlQuery beginRun = prepared(u"SAVEPOINT run"_s);
        QSqlQuery endRun = prepared(u"RELEASE run"_s);
        QSqlQuery begin = prepared(u"SAVEPOINT invoice"_s);
        QSqlQuery end = prepared(u"RELEASE invoice"_s);
        QSqlQuery undo = prepared(u"ROLLBACK TO invoice"_s);
        QSqlQuery max = prepared(u"SELECT MAX(CAST(SUBSTR(invoice_number, LENGTH(?)+1) AS "
                                 "INTEGER)) as mx FROM invoices WHERE invoice_number LIKE ?"_s);
        QSqlQuery duplicate = prepared(
            u"SELECT id FROM invoices WHERE tenant_id=? AND period=? AND status!='void'"_s);
        QSqlQuery usage = prepared(u"SELECT ur.*, s.name FROM usage_records ur JOIN services s "
                                   "ON ur.service_id=s.id WHERE ur.unit_id=? AND ur.period=?"_s);
        QSqlQuery invoice = prepared(u"INSERT INTO invoices (invoice_number,tenant_id,unit_id,"
                                     "contract_id,period,total_amount,balance,status,currency_id,"
                                     "due_date) VALUES (?,?,?,?,?,?,?,?,?,?)"_s);
        QSqlQuery item = prepared(u"INSERT INTO invoice_items (invoice_id,description,type,"
                                  "quantity,unit_price,total) VALUES (?,?,?,?,?,?)"_s);
        QSqlQuery balance = prepared(u"UPDATE tenants SET balance=balance+? WHERE id=?"_s);

        run(beginRun, {});
        run(max, { prefix, prefix + u"%"_s });
        const QVariant mx = Database::firstRow(rows(max)).value(u"mx"_s);
        int sequence = mx.isNull() ? 1 : mx.toInt() + 1;
        for (const QVariant &element : contracts) {
            const QVariantMap c = element.toMap();
            const int tenant = c.value(u"tenant_id"_s).toInt();
            const int unit = c.value(u"unit_id"_s).toInt();
            const double rent = c.value(u"rent_amount"_s).toDouble();
            run(duplicate, { tenant, kPeriod });
            if (!rows(duplicate).isEmpty())
                continue;
            QList<QVariantList> lines { { u"إيجار شهري"_s, u"rent"_s, 1, rent, rent } };
            run(usage, { unit, kPeriod });
            for (const QVariant &u : rows(usage)) {
                const QVariantMap r = u.toMap();
                const double consumption = r.value(u"consumption"_s).toDouble();
                const double cost = r.value(u"cost"_s).toDouble();
                lines.append({ r.value(u"name"_s), u"usage"_s, consumption,
                    consumption > 1 ? cost / consumption : cost, cost });
            }
            double total = 0;
            for (const QVariantList &line : lines)
                total += line.at(4).toDouble();
            run(begin, {});
            const QString number = prefix + QString::number(sequence).rightJustified(4, u'0');
            bool ok = run(invoice,
                { number, tenant, unit, c.value(u"id"_s), kPeriod, total, total, u"pending"_s,
                    c.value(u"currency_id"_s).toInt(), kPeriod + u"-28"_s });
            const int id = invoice.lastInsertId().toInt();
            for (const QVariantList &line : lines)
                ok = ok && run(item, QVariantList { id } + line);
            ok = ok && run(balance, { total, tenant });
            if (!ok)
                run(undo, {});
            run(end, {});
            if (ok) {
                ++sequence;
                ++issued;
            }
        }
        run(endRun, {});
    }
    const qint64 elapsed = timer.nsecsElapsed();
    if (issued != leases)
        qFatal("Qt SQL issued %d of %d invoices", issued, leases);
    return elapsed;
}

// Fresh databases on the server beside the one named in the URL, each dropped when its side is
// done: the model's sides then start from the same empty layout as on a file.
class ServerScratch
{
public:
    explicit ServerScratch(const QString &url)
        : m_url(url)
    {
        m_admin = QSqlDatabase::addDatabase(u"QPSQL"_s, u"billingbench-admin"_s);
        if (!Database::applyServerUrl(m_admin, url) || !m_admin.open())
            qFatal("cannot reach %s", qPrintable(url));
    }

    // The URL of a new empty database on the server.
    QString create()
    {
        m_name = u"billingbench_%1"_s.arg(QCoreApplication::applicationPid());
        drop();
        if (!QSqlQuery(m_admin).exec(u"CREATE DATABASE "_s + m_name))
            qFatal("cannot create a database on the server");
        const qsizetype from = m_url.indexOf(u'/', m_url.indexOf(u"://"_s) + 3) + 1;
        const qsizetype to = m_url.indexOf(u'?', from);
        QString url = m_url;
        return url.replace(from, (to < 0 ? url.size() : to) - from, m_name);
    }
    void drop()
    {
        if (!m_name.isEmpty())
            QSqlQuery(m_admin).exec(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(m_name));
    }

private:
    QString m_url;
    QString m_name;
    QSqlDatabase m_admin;
};

// The month after the newest invoice's.
QString nextPeriod(Database *db)
{
    const QString last
        = Database::firstRow(db->execQuery(u"SELECT MAX(period) AS p FROM invoices"_s))
              .value(u"p"_s)
              .toString();
    const QDate first = QDate::fromString(last + u"-01"_s, u"yyyy-MM-dd"_s);
    return first.isValid() ? first.addMonths(1).toString(u"yyyy-MM"_s) : kPeriod;
}

// Microseconds per invoice of the model's run for the month after the portfolio's last. On a
// server the run is rolled back inside an outer transaction, so every run finds the same data.
double billPortfolio(Database *db, bool posted, int *issued, bool rollBack)
{
    const QString period = nextPeriod(db);
    std::unique_ptr<TransactionGuard> outer;
    if (rollBack)
        outer = std::make_unique<TransactionGuard>(db);
    Posting::setOn(db, posted);
    InvoiceModel model(db);
    QElapsedTimer timer;
    timer.start();
    *issued = model.generateAllRent(period);
    const qint64 elapsed = timer.nsecsElapsed();
    if (*issued < 1)
        qFatal("generateAllRent issued nothing for %s", qPrintable(period));
    return double(elapsed) / *issued / 1000.0;
}

// A file is copied afresh for each of its runs and the run kept: rolled back inside an outer
// transaction, SQLite would keep every page the run touches in its savepoint journal (each
// invoice's savepoint then nests in the run's), which cost more than the run itself.
void freshCopy(const QString &source, const QString &path)
{
    for (const QString &suffix : { u""_s, u"-wal"_s, u"-shm"_s })
        QFile::remove(path + suffix);
    if (!QFile::copy(source, path))
        qFatal("cannot copy %s", qPrintable(source));
}

double median(std::vector<double> values);

// The portfolio mode: the file's copy, the server (when given) and the C API floor on the file,
// taking turns within each run.
int benchPortfolio(const QString &source, const QString &url, int runs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"belvardino.db"_s);
    freshCopy(source, path);
    QString period;
    {
        Database file;
        if (!file.initialize(path))
            qFatal("cannot open %s", qPrintable(path));
        period = nextPeriod(&file);
    }
    Database server;
    if (!url.isEmpty() && !server.initialize(url, u"server"_s))
        qFatal("cannot open %s", qPrintable(url));
    if (!url.isEmpty() && nextPeriod(&server) != period)
        qFatal("the server does not hold the same portfolio (next month %s against %s)",
            qPrintable(nextPeriod(&server)), qPrintable(period));

    const char *labels[] = { "file, posting on", "file, posting off", "floor (C API, file)",
        "server, posting on", "server, posting off" };
    const int sideCount = url.isEmpty() ? 3 : 5;
    std::vector<std::vector<double>> perInvoice(sideCount);
    std::vector<int> issued(sideCount);
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < sideCount; ++k) {
            const int side = (run + k) % sideCount;
            if (side < 3)
                freshCopy(source, path);
            if (side == 2) {
                sqlite3 *floorDb = openFloor(path);
                qint64 elapsed = 0;
                issued[side] = floorRun(floorDb, period, false, &elapsed);
                sqlite3_close(floorDb);
                perInvoice[side].push_back(double(elapsed) / std::max(issued[side], 1) / 1000.0);
                continue;
            }
            if (side > 2) {
                perInvoice[side].push_back(billPortfolio(&server, side == 3, &issued[side], true));
                continue;
            }
            Database file;
            if (!file.initialize(path))
                qFatal("cannot open %s", qPrintable(path));
            perInvoice[side].push_back(billPortfolio(&file, side == 0, &issued[side], false));
        }
        std::printf("run %d:", run + 1);
        for (int side = 0; side < sideCount; ++side)
            std::printf(" %s %.1f us;", labels[side], perInvoice[side].back());
        std::printf("\n");
    }
    std::printf("%s, month %s, runs %d, median time per invoice:\n", qPrintable(source),
        qPrintable(period), runs);
    std::vector<double> medians;
    for (int side = 0; side < sideCount; ++side) {
        medians.push_back(median(perInvoice[side]));
        std::printf("  %-20s %8.1f us (%d invoices, %.0f ms per run)\n", labels[side],
            medians.back(), issued[side], medians.back() * issued[side] / 1000.0);
    }
    std::printf("ratio file / floor:    %.2f (posting on)  %.2f (posting off)\n",
        medians[0] / medians[2], medians[1] / medians[2]);
    if (sideCount == 5)
        std::printf("ratio server / file:   %.2f (posting on)  %.2f (posting off) (target 3.00 or "
                    "less)\nratio server / floor:  %.2f (posting off)\n",
            medians[3] / medians[0], medians[4] / medians[1], medians[4] / medians[2]);
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    Database::configureLibrary();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Times a month's rent run against SQLite's floor for the same statements."_s);
    parser.addHelpOption();
    parser.addOption({ u"leases"_s, u"Active leases to bill."_s, u"n"_s, u"10000"_s });
    parser.addOption(
        { u"runs"_s, u"Runs of each side; the median is reported."_s, u"n"_s, u"5"_s });
    parser.addOption({ u"database"_s,
        u"A PostgreSQL server's URL: the model also runs there (fresh databases made beside the "
        "named one, or with --db the server's copy of the same portfolio)."_s,
        u"url"_s });
    parser.addOption({ u"db"_s,
        u"Bill the month after this portfolio's last instead, on a copy, rolled back each run."_s,
        u"path"_s });
    parser.process(app);
    const int leases = std::max(1, parser.value(u"leases"_s).toInt());
    const int runs = std::max(1, parser.value(u"runs"_s).toInt());
    const QString url = parser.value(u"database"_s);
    if (!url.isEmpty() && !Database::isServerUrl(url))
        qFatal("--database needs a postgresql:// URL");
    if (parser.isSet(u"db"_s))
        return benchPortfolio(parser.value(u"db"_s), url, runs);

    using Timer = qint64 (*)(const QString &, int);
    struct Side
    {
        const char *label;
        Timer time;
        bool onServer;
    };
    std::vector<Side> sides
        = { { "generateAllRent", timeModel, false }, { "floor (C API)", timeFloor, false },
              { "Qt SQL, reused", timeQtReused, false }, { "posting off", timeUnposted, false } };
    std::unique_ptr<ServerScratch> scratch;
    if (!url.isEmpty()) {
        scratch = std::make_unique<ServerScratch>(url);
        sides.push_back({ "server", timeModel, true });
        sides.push_back({ "server, unposted", timeUnposted, true });
    }
    const int sideCount = int(sides.size());
    std::vector<std::vector<double>> perInvoice(sideCount);
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        // Rotate which side goes first so none always meets a warmer machine.
        for (int k = 0; k < sideCount; ++k) {
            const int side = (run + k) % sideCount;
            const QString path
                = sides[side].onServer ? scratch->create() : dir.filePath(u"side%1.db"_s.arg(side));
            perInvoice[side].push_back(double(sides[side].time(path, leases)) / leases / 1000.0);
            if (sides[side].onServer)
                scratch->drop();
        }
        std::printf("run %d:", run + 1);
        for (int side = 0; side < sideCount; ++side)
            std::printf(" %s %.2f us", sides[side].label, perInvoice[side].back());
        std::printf("\n");
    }

    std::printf("leases %d, runs %d, median time per invoice:\n", leases, runs);
    std::vector<double> medians;
    for (int side = 0; side < sideCount; ++side) {
        medians.push_back(median(perInvoice[side]));
        std::printf("  %-16s %8.2f us (%.0f ms per run)\n", sides[side].label, medians.back(),
            medians.back() * leases / 1000.0);
    }
    std::printf(
        "ratio generateAllRent / floor: %.2f (target 2.00 or less)\n", medians[0] / medians[1]);
    std::printf("ratio Qt SQL reused / floor:   %.2f\n", medians[2] / medians[1]);
    std::printf(
        "ratio posting on / off:        %.2f (target 1.30 or less)\n", medians[0] / medians[3]);
    if (scratch)
        std::printf("ratio server / file:           %.2f (posting on)  %.2f (posting off) "
                    "(target 3.00 or less)\n",
            medians[4] / medians[0], medians[5] / medians[3]);
    return 0;
}
