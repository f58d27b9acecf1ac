// Fills a Belvardino data directory with the deterministic demo portfolio.
//   demodata --data-dir DIR [--scale N]
//   demodata --app-data [--scale N]      (the application's own data directory)
//   demodata --data-dir DIR --large [--scale N]   (the large portfolio of the benchmarks)
//   demodata --data-dir DIR --large --post-history   (filled unposted, then its history posted)

#include "database.h"
#include "datadirlock.h"
#include "demodata.h"
#include "posting.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // Only this thread opens connections, each used by itself.
    Database::configureLibrary(true);
    // A GUI application because the backup and print objects expect one; nothing is shown.
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Belvardino"_s);
    QApplication::setApplicationName(u"Belvardino"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Fills a data directory with a sample portfolio."_s);
    parser.addHelpOption();
    const QCommandLineOption dataDirOption(
        u"data-dir"_s, u"The data directory to fill."_s, u"dir"_s);
    const QCommandLineOption appDataOption(
        u"app-data"_s, u"Fill the application's own data directory."_s);
    const QCommandLineOption scaleOption(
        u"scale"_s, u"Multiply every quantity by N (default 1)."_s, u"n"_s, u"1"_s);
    const QCommandLineOption largeOption(
        u"large"_s, u"The large portfolio of the benchmarks (five years, 2,000 units) instead."_s);
    const QCommandLineOption historyOption(u"post-history"_s,
        u"Fill with automatic posting off, as an older file, then time posting its history."_s);
    parser.addOptions({ dataDirOption, appDataOption, scaleOption, largeOption, historyOption });
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    QString dir;
    if (parser.isSet(dataDirOption))
        dir = parser.value(dataDirOption);
    else if (parser.isSet(appDataOption))
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty()) {
        err << "demodata: give --data-dir DIR or --app-data\n";
        return 2;
    }
    bool scaleOk = false;
    const int scale = parser.value(scaleOption).toInt(&scaleOk);
    if (!scaleOk || scale < 1) {
        err << "demodata: --scale needs a whole number of 1 or more\n";
        return 2;
    }

    QDir().mkpath(dir);
    DataDirLock lock(dir);
    if (!lock.tryLock()) {
        err << "demodata: " << dir
            << (lock.heldElsewhere() ? " is in use by a running Belvardino\n"
                                     : " cannot be written\n");
        return 1;
    }
    Database database;
    if (!database.initialize(dir + u"/belvardino.db"_s)) {
        err << "demodata: cannot open " << dir << "/belvardino.db\n";
        return 1;
    }
    const QVariantList existing = database.execQuery(u"SELECT COUNT(*) as c FROM properties"_s);
    if (!existing.isEmpty() && existing.first().toMap().value(u"c"_s).toInt() > 0) {
        err << "demodata: " << dir << " already holds properties; use an empty data directory\n";
        return 1;
    }

    const bool history = parser.isSet(historyOption);
    if (history)
        Posting::setOn(&database, false);
    QElapsedTimer timer;
    timer.start();
    const DemoData::Counts c = parser.isSet(largeOption) ? DemoData::fillLarge(&database, scale)
                                                         : DemoData::fill(&database, scale);
    out << "Filled " << dir << " (scale " << scale << ") in " << timer.elapsed() << " ms:\n"
        << "  properties " << c.properties << ", units " << c.units << ", tenants " << c.tenants
        << ", contracts " << c.contracts << "\n"
        << "  invoices " << c.invoices << ", payments " << c.payments << ", buyers " << c.buyers
        << ", sales " << c.sales << "\n"
        << "  cheques " << c.cheques << ", maintenance " << c.maintenance << ", expenses "
        << c.expenses << ", journal entries " << c.journalEntries << "\n";
    if (history) {
        Posting::setOn(&database, true);
        timer.restart();
        const int posted = Posting::postHistory(&database);
        out << "History posted: " << posted << " entries in " << timer.elapsed() << " ms\n";
        if (posted < 0)
            return 1;
    }
    return 0;
}
