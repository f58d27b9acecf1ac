// Times InvoiceModel::generateAllRent for N active leases on a fresh database, next to a floor:
// the same statements through SQLite's C API, prepared once and reused, in one transaction with
// a savepoint per invoice. A third figure runs the same statements through Qt SQL, each prepared
// once, to show what caching statements inside Database would reach. A fourth runs the model with
// automatic posting off: the first side posts every invoice to the journal, as a new database does.
//
//   ./build/tools/billingbench/billingbench --leases 10000 --runs 5

#include "database.h"
#include "invoicemodel.h"
#include "posting.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
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

// A fresh database with one property, and N units each leased to its own tenant.
std::unique_ptr<Database> freshDatabase(const QString &path, int leases)
{
    auto db = std::make_unique<Database>();
    if (!db->initialize(path))
        qFatal("cannot create %s", qPrintable(path));
    QSqlDatabase connection = QSqlDatabase::database();
    connection.transaction();
    QSqlQuery query(connection);
    query.exec(u"INSERT INTO properties (name, type) VALUES ('برج النخيل', 'residential')"_s);
    const QVariant property = query.lastInsertId();
    QSqlQuery unit(connection), tenant(connection), lease(connection);
    unit.prepare(u"INSERT INTO units (property_id, unit_number, rent_monthly, status, currency_id) "
                 "VALUES (?, ?, 1000, 'rented', 1)"_s);
    tenant.prepare(u"INSERT INTO tenants (full_name, phone) VALUES (?, '0599000000')"_s);
    lease.prepare(u"INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, "
                  "currency_id) VALUES (?, ?, '2020-01-01', '2099-12-31', ?, 1)"_s);
    for (int i = 1; i <= leases; ++i) {
        unit.addBindValue(property);
        unit.addBindValue(u"U%1"_s.arg(i));
        unit.exec();
        tenant.addBindValue(u"مستأجر %1"_s.arg(i));
        tenant.exec();
        lease.addBindValue(unit.lastInsertId());
        lease.addBindValue(tenant.lastInsertId());
        lease.addBindValue(800.0 + i % 400);
        lease.exec();
    }
    connection.commit();
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

qint64 timeFloor(const QString &path, int leases)
{
    freshDatabase(path, leases).reset();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(path));
    for (const char *pragma : { "PRAGMA journal_mode=WAL", "PRAGMA foreign_keys=ON",
             "PRAGMA synchronous=NORMAL", "PRAGMA cache_size=-64000" })
        sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);

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

        const std::string period = kPeriod.toStdString();
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
        endRun.run();
    }
    const qint64 elapsed = timer.nsecsElapsed();
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Times a month's rent run against SQLite's floor for the same statements."_s);
    parser.addHelpOption();
    parser.addOption({ u"leases"_s, u"Active leases to bill."_s, u"n"_s, u"10000"_s });
    parser.addOption(
        { u"runs"_s, u"Runs of each side; the median is reported."_s, u"n"_s, u"5"_s });
    parser.process(app);
    const int leases = std::max(1, parser.value(u"leases"_s).toInt());
    const int runs = std::max(1, parser.value(u"runs"_s).toInt());

    using Timer = qint64 (*)(const QString &, int);
    const struct
    {
        const char *label;
        Timer time;
    } sides[] = { { "generateAllRent", timeModel }, { "floor (C API)", timeFloor },
        { "Qt SQL, reused", timeQtReused }, { "posting off", timeUnposted } };
    const int sideCount = int(std::size(sides));
    std::vector<std::vector<double>> perInvoice(sideCount);
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        // Rotate which side goes first so none always meets a warmer machine.
        for (int k = 0; k < sideCount; ++k) {
            const int side = (run + k) % sideCount;
            const QString path = dir.filePath(u"side%1.db"_s.arg(side));
            perInvoice[side].push_back(double(sides[side].time(path, leases)) / leases / 1000.0);
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
    return 0;
}
