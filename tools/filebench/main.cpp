// Times BackupManager's backup and CSV export on a copy of an existing data directory, next to
// the sqlite3 shell doing the same with `.backup` and `.mode csv` (medians of several runs).
//
//   ./build/tools/filebench/filebench --db PATH/belvardino.db --runs 5

#include "backupmanager.h"
#include "database.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QStringList kTables = { u"properties"_s, u"units"_s, u"tenants"_s, u"contracts"_s,
    u"payments"_s, u"invoices"_s, u"maintenance_requests"_s, u"journal_entries"_s, u"accounts"_s,
    u"buyers"_s, u"installments"_s, u"cheques"_s };

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeShell(const QString &db, const QString &script)
{
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start(u"sqlite3"_s, { db });
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}

// Swallows the request to show the export folder, so nothing is launched.
class UrlSink : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &) { }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ u"db"_s, u"Database file to copy and measure."_s, u"path"_s });
    parser.addOption({ u"runs"_s, u"Runs (median reported)."_s, u"n"_s, u"5"_s });
    parser.process(app);
    const int runs = std::max(1, parser.value(u"runs"_s).toInt());
    if (parser.value(u"db"_s).isEmpty())
        parser.showHelp(1);

    QTemporaryDir work;
    qputenv("HOME", work.path().toUtf8());
    const QString dataDir = work.path() + u"/data"_s;
    QDir().mkpath(dataDir);
    const QString db = dataDir + u"/belvardino.db"_s;
    QFile::copy(parser.value(u"db"_s), db);
    UrlSink sink;
    QDesktopServices::setUrlHandler(u"file"_s, &sink, "open");

    Database database;
    if (!database.initialize(db))
        qFatal("cannot open the copy");
    BackupManager backups(dataDir);
    backups.setAutoBackup(false);

    std::vector<double> backup, backupFloor, csv, csvFloor;
    for (int run = 0; run < runs; ++run) {
        QDir(backups.backupPath()).removeRecursively();
        QDir().mkpath(backups.backupPath());
        QElapsedTimer timer;
        timer.start();
        if (!backups.createBackup())
            qFatal("backup failed");
        backup.push_back(timer.nsecsElapsed() / 1e6);
        backupFloor.push_back(timeShell(db, u".backup '%1/floor.db'\n"_s.arg(work.path())));
        QFile::remove(work.path() + u"/floor.db"_s);

        timer.restart();
        if (!backups.exportAllToCSV())
            qFatal("export failed");
        csv.push_back(timer.nsecsElapsed() / 1e6);
        QString script = u".mode csv\n.headers on\n"_s;
        for (const QString &table : kTables)
            script += u".output '%1/%2.csv'\nSELECT * FROM %2;\n"_s.arg(work.path(), table);
        csvFloor.push_back(timeShell(db, script));
        // Let the next backup get a name of its own (names carry the second).
        QThread::msleep(1100);
    }
    std::printf("%-28s %12s %12s %7s\n", "operation", "median ms", "sqlite3 ms", "ratio");
    std::printf("%-28s %12.1f %12.1f %7.2f\n", "createBackup", median(backup), median(backupFloor),
        median(backup) / median(backupFloor));
    std::printf("%-28s %12.1f %12.1f %7.2f\n", "exportAllToCSV", median(csv), median(csvFloor),
        median(csv) / median(csvFloor));
    QDesktopServices::unsetUrlHandler(u"file"_s);
    return 0;
}

#include "main.moc"
