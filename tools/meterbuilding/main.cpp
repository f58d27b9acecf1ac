// Adds a 200-unit building to an existing database: a lease on every unit, and two years of
// water and electricity readings, each month read and billed by the rent run, so that the
// readings sheet of a large building can be timed (listbench picks the largest property).
//
//   ./build/tools/meterbuilding/meterbuilding --db PATH/belvardino.db

#include "database.h"
#include "invoicemodel.h"
#include "servicemodel.h"
#include "transactionguard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Adds a 200-unit building with metered readings."_s);
    parser.addHelpOption();
    parser.addOption({ u"db"_s, u"The database file."_s, u"path"_s });
    parser.addOption({ u"units"_s, u"Units in the building."_s, u"n"_s, u"200"_s });
    parser.addOption({ u"months"_s, u"Months of readings before this one."_s, u"n"_s, u"24"_s });
    parser.process(app);
    Database db;
    if (!parser.isSet(u"db"_s) || !db.initialize(parser.value(u"db"_s))) {
        QTextStream(stderr) << "meterbuilding: give an existing database with --db\n";
        return 1;
    }
    const int unitCount = parser.value(u"units"_s).toInt();
    const int months = parser.value(u"months"_s).toInt();
    const QDate today = QDate::currentDate();

    int property = 0;
    {
        TransactionGuard guard(&db);
        property = db.execInsert(
            u"INSERT INTO properties (name, type, total_units) VALUES ('برج العدادات', "
            "'residential', ?)"_s,
            { unitCount });
        for (int i = 0; i < unitCount; ++i) {
            const int unit = db.execInsert(
                u"INSERT INTO units (property_id, unit_number, floor, rent_monthly, status) "
                "VALUES (?, ?, ?, 900, 'rented')"_s,
                { property, QString::number(100 * (1 + i / 10) + i % 10 + 1), 1 + i / 10 });
            const int tenant = db.execInsert(
                u"INSERT INTO tenants (full_name, phone) VALUES (?, '0599000000')"_s,
                { u"مستأجر العدادات %1"_s.arg(i + 1) });
            db.execInsert(u"INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, "
                          "rent_amount, currency_id) VALUES (?, ?, ?, ?, 900, 1)"_s,
                { unit, tenant, today.addMonths(-months - 1).toString(Qt::ISODate),
                    today.addYears(1).toString(Qt::ISODate) });
        }
        guard.commit();
    }

    ServiceModel services(&db);
    InvoiceModel invoices(&db);
    for (int back = months; back >= 1; --back) {
        const QString period = today.addMonths(-back).toString(u"yyyy-MM"_s);
        QVariantList rows;
        for (const QVariant &element : services.readingSheet(property, period)) {
            QVariantMap row = element.toMap();
            row.insert(u"current_reading"_s,
                row.value(u"previous_reading"_s).toDouble() + 10 + (rows.size() % 17));
            rows.append(row);
        }
        if (services.saveReadings(property, period, rows) < 0) {
            QTextStream(stderr) << "meterbuilding: " << services.lastRefusal() << "\n";
            return 1;
        }
        invoices.generateAllRent(period);
    }
    QTextStream(stdout) << "Added property " << property << " with " << unitCount << " units and "
                        << months << " months of readings\n";
    return 0;
}
