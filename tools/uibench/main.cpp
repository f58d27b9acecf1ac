// Times the interface on a copy of a database: start-up to the login page drawn, login to the
// dashboard drawn, each page from its choice in the side bar to its first frame drawn, and the
// process's peak memory after visiting every page; the tabs of the reports, the journal and the
// cheques likewise. The same is measured on an empty database in a second process for comparison,
// and with --database on a PostgreSQL server's database (the same portfolio copied there with
// belvardino-cli to-server), so the server's pages stand next to the file's in one run.
// --scroll instead reads every paged list to its end, a page at a time as a view scrolling to
// the bottom asks, and reports the longest single read (the longest the window would be held) and
// the total, on the file's copy and on the server.
//
//   ./build/tools/uibench/uibench --db PATH/belvardino.db [--runs 5] [--database URL]
//   ./build/tools/uibench/uibench --scroll --db PATH/belvardino.db [--database URL] [--runs 3]

#include "appobjects.h"
#include "database.h"
#include "listcatalog.h"
#include "pagedlistmodel.h"
#include "scenechoice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Runs the event loop until the reads queued on the second connection are done; `timer` started
// with the action that queued them.
double timeToFigures(BackgroundReader &reader, const QElapsedTimer &timer)
{
    QEventLoop loop;
    const auto connection
        = QObject::connect(&reader, &BackgroundReader::pendingChanged, &loop, [&] {
              if (reader.pending() == 0)
                  loop.quit();
          });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    if (reader.pending() > 0)
        loop.exec();
    QObject::disconnect(connection);
    return timer.nsecsElapsed() / 1e6;
}

// Runs the event loop until the window has drawn a frame after `action`.
double timeToFrame(QQuickWindow *window, const std::function<void()> &action)
{
    QEventLoop loop;
    const auto connection
        = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    action();
    window->update();
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return timer.nsecsElapsed() / 1e6;
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Every paged list read to its end as a scrolling view reads it: per list, the rows, the reads,
// the first page, the longest single read and the total, medians of the runs.
struct Scrolled
{
    int rows = 0;
    int reads = 0;
    double first = 0;
    double longest = 0;
    double total = 0;
};

Scrolled scrollToEnd(ListCatalog &catalog, const QString &name, int runs)
{
    std::vector<double> firsts, longests, totals;
    Scrolled result;
    for (int run = 0; run < runs; ++run) {
        std::unique_ptr<PagedListModel> list(catalog.open(name));
        QElapsedTimer timer;
        timer.start();
        list->setActive(true);
        QCoreApplication::processEvents();
        firsts.push_back(timer.nsecsElapsed() / 1e6);
        double longest = 0, total = firsts.back();
        int reads = 1;
        while (list->canFetchMore(QModelIndex())) {
            timer.restart();
            list->fetchMore(QModelIndex());
            QCoreApplication::processEvents();
            const double took = timer.nsecsElapsed() / 1e6;
            longest = std::max(longest, took);
            total += took;
            ++reads;
        }
        longests.push_back(longest);
        totals.push_back(total);
        result.rows = list->count();
        result.reads = reads;
    }
    result.first = median(firsts);
    result.longest = median(longests);
    result.total = median(totals);
    return result;
}

int scrollLists(const QString &source, const QString &url, int runs, const QRegularExpression &only)
{
    const QStringList names
        = { u"tenants"_s, u"buyers"_s, u"units"_s, u"maintenance"_s, u"expenses"_s,
              u"installments"_s, u"invoices"_s, u"payments"_s, u"cheques"_s, u"journal"_s };
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    if (source.isEmpty() || !QFile::copy(source, path))
        qFatal("--scroll needs --db with a database file to copy");
    Database file;
    if (!file.initialize(path))
        return 1;
    Database server;
    if (!url.isEmpty() && !server.initialize(url, u"server"_s))
        qFatal("cannot open %s", qPrintable(url));
    ListCatalog fileLists(&file);
    ListCatalog serverLists(&server);
    std::printf("%-13s %8s %6s | %9s %9s %9s | %9s %9s %9s | %7s\n", "list (to end)", "rows",
        "reads", "file 1st", "longest", "total", "server 1st", "longest", "total", "ratio");
    double worst = 0;
    for (const QString &name : names) {
        if (!name.contains(only))
            continue;
        const Scrolled f = scrollToEnd(fileLists, name, runs);
        const Scrolled s = url.isEmpty() ? Scrolled() : scrollToEnd(serverLists, name, runs);
        worst = std::max({ worst, f.longest, s.longest });
        std::printf("%-13s %8d %6d | %9.1f %9.1f %9.0f | %9.1f %9.1f %9.0f | %7.2f\n",
            qPrintable(name), f.rows, f.reads, f.first, f.longest, f.total, s.first, s.longest,
            s.total, s.total / std::max(f.total, 0.1));
    }
    std::printf(
        "ms, medians of %d; longest single read anywhere: %.1f ms (target 50)\n", runs, worst);
    return 0;
}

// What is resident now, in MiB: the heap and other private memory, and the pages mapped from
// files (the database's memory map among them), which the system can take back at will.
QPair<double, double> residentMiB()
{
    QFile status(u"/proc/self/status"_s);
    double anonymous = 0;
    double mapped = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts.at(0) == "RssAnon:")
                anonymous = parts.at(1).toDouble() / 1024.0;
            else if (parts.size() >= 2 && parts.at(0) == "RssFile:")
                mapped = parts.at(1).toDouble() / 1024.0;
        }
    }
    return { anonymous, mapped };
}

long peakKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char *argv[])
{
    Database::configureLibrary();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Belvardino"_s);
    QApplication::setApplicationName(u"Belvardino"_s);
    QQuickStyle::setStyle(u"Basic"_s);
    SceneChoice::apply();
    QApplication::setLayoutDirection(Qt::RightToLeft);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ u"db"_s, u"Database to measure (a copy is used)."_s, u"path"_s });
    parser.addOption({ u"runs"_s, u"Runs per database (median reported)."_s, u"n"_s, u"5"_s });
    parser.addOption({ u"single"_s, u"Measure this database only and print one line."_s });
    parser.addOption({ u"database"_s,
        u"A PostgreSQL server's database measured beside the file (opened, not copied)."_s,
        u"url"_s });
    parser.addOption(
        { u"scroll"_s, u"Read every paged list to its end instead, on the file and server."_s });
    parser.addOption(
        { u"lists"_s, u"With --scroll, only the lists whose name matches."_s, u"regex"_s });
    parser.process(app);
    const QString source = parser.value(u"db"_s);
    const QString url = parser.value(u"database"_s);
    if (!url.isEmpty() && !Database::isServerUrl(url))
        qFatal("--database needs a postgresql:// URL");
    if (parser.isSet(u"scroll"_s))
        return scrollLists(source, url, std::max(1, parser.value(u"runs"_s).toInt()),
            QRegularExpression(parser.value(u"lists"_s)));

    if (!parser.isSet(u"single"_s)) {
        // Each run in its own process, so start-up is cold and peak memory belongs to one
        // database. The two databases take turns, so both see the machine in the same state;
        // medians of the runs.
        const int runs = std::max(1, parser.value(u"runs"_s).toInt());
        // Empty, the given file, the server: a server is told from a file by its URL.
        QStringList databases = { QString() };
        QList<const char *> names = { "empty" };
        if (!source.isEmpty()) {
            databases << source;
            names << "file";
        }
        if (!url.isEmpty()) {
            databases << url;
            names << "server";
        }
        // Per database: start-up, login, peak memory, then one figure per page.
        std::vector<std::vector<std::vector<double>>> figures(databases.size());
        std::vector<std::vector<std::vector<double>>> resident(
            databases.size(), std::vector<std::vector<double>>(2));
        QStringList pageNames;
        for (int run = 0; run < runs; ++run) {
            for (int d = 0; d < databases.size(); ++d) {
                QProcess child;
                QStringList args = { u"--single"_s };
                if (Database::isServerUrl(databases.at(d)))
                    args << u"--database"_s << databases.at(d);
                else if (!databases.at(d).isEmpty())
                    args << u"--db"_s << databases.at(d);
                child.start(QCoreApplication::applicationFilePath(), args);
                child.waitForFinished(-1);
                const QStringList lines = QString::fromUtf8(child.readAllStandardOutput())
                                              .split(u'\n', Qt::SkipEmptyParts);
                const QStringList line = lines.value(0).split(u' ', Qt::SkipEmptyParts);
                if (pageNames.isEmpty())
                    pageNames = lines.value(1).split(u' ', Qt::SkipEmptyParts);
                figures[d].resize(std::max(figures[d].size(), size_t(line.size())));
                for (int i = 0; i < line.size(); ++i)
                    figures[d][i].push_back(line.at(i).toDouble());
                const QStringList memory = lines.value(2).split(u' ', Qt::SkipEmptyParts);
                for (int i = 0; i < 2 && i < memory.size(); ++i)
                    resident[d][i].push_back(memory.at(i).toDouble());
            }
        }
        std::printf(
            "%-10s %14s %16s %14s\n", "database", "start-up ms", "login-dash ms", "peak MiB");
        const int count = int(databases.size());
        std::vector<std::vector<double>> medians(count);
        for (int d = 0; d < count; ++d) {
            for (const std::vector<double> &values : figures[d])
                medians[d].push_back(median(values));
            medians[d].resize(std::max(medians[d].size(), size_t(4 + 2 * pageNames.size())));
            std::printf("%-10s %14.0f %16.0f %14.1f\n", names[d], medians[d][0], medians[d][1],
                medians[d][2]);
        }
        for (int d = 0; d < count; ++d)
            std::printf(
                "%-10s login to the dashboard's last figure: %.0f ms\n", names[d], medians[d][3]);
        for (int d = 0; d < count; ++d)
            std::printf("%-10s resident after the last page: %.1f MiB private, %.1f MiB mapped "
                        "from files\n",
                names[d], median(resident[d][0]), median(resident[d][1]));
        for (int d = 1; d < count; ++d) {
            std::printf("%-10s %14.2f %16.2f   (%s against empty)\n", "ratio",
                medians[d][0] / std::max(medians[0][0], 1.0),
                medians[d][1] / std::max(medians[0][1], 1.0), names[d]);
        }
        // Each page's first frame on every database, then the ratio of the last two (the server
        // against the file when both were given, else the given against the empty one), then the
        // last figure read on the second connection.
        const int pageCount = int(pageNames.size());
        std::printf("\n%-18s", "page (first frame)");
        for (int d = 0; d < count; ++d)
            std::printf(" %7s ms", names[d]);
        std::printf(" %8s", "ratio");
        for (int d = 0; d < count; ++d)
            std::printf(" %8s fig.", names[d]);
        std::printf("\n");
        for (int p = 0; p < pageCount; ++p) {
            std::printf("%-18s", qPrintable(pageNames.at(p)));
            for (int d = 0; d < count; ++d)
                std::printf(" %10.1f", medians[d][4 + p]);
            const double ratio = count < 2
                ? 0.0
                : medians[count - 1][4 + p] / std::max(medians[count - 2][4 + p], 0.1);
            std::printf(" %8.2f", ratio);
            for (int d = 0; d < count; ++d)
                std::printf(" %13.1f", medians[d][4 + pageCount + p]);
            std::printf("\n");
        }
        return 0;
    }

    QTemporaryDir dir;
    const QString path = url.isEmpty() ? dir.path() + u"/belvardino.db"_s : url;
    if (!source.isEmpty() && url.isEmpty())
        QFile::copy(source, path);
    Database database;
    if (!database.initialize(path))
        return 1;
    AppObjects objects(&database, dir.path(), path);
    objects.backupManager.setAutoBackup(false);

    QQmlApplicationEngine engine;
    objects.expose(engine.rootContext());
    QQuickWindow *window = nullptr;
    const double startup = [&] {
        QElapsedTimer timer;
        timer.start();
        engine.load(QUrl(u"qrc:/qml/main.qml"_s));
        window = qobject_cast<QQuickWindow *>(engine.rootObjects().value(0));
        if (!window)
            return -1.0;
        return timer.nsecsElapsed() / 1e6 + timeToFrame(window, [] {});
    }();
    if (!window)
        return 1;
    QElapsedTimer loginTimer;
    loginTimer.start();
    const double login = timeToFrame(window, [&] {
        objects.authCtrl.login(u"admin"_s, u"qatmo"_s);
        QMetaObject::invokeMethod(window, "showShell");
    });
    const double loginFigures = timeToFigures(objects.background, loginTimer);
    settle(500);
    QObject *shell = window->findChild<QObject *>(u"mainApp"_s);
    auto *pages = window->findChild<QQuickItem *>(u"pages"_s);
    const QList<QQuickItem *> pageItems = pages ? pages->childItems() : QList<QQuickItem *>();
    const QHash<QString, QList<int>> tabsOf { { u"reportsPage"_s, { 1, 2, 3, 4, 5, 0 } },
        { u"accountingPage"_s, { 1, 0 } }, { u"chequesPage"_s, { 1, 2, 3, 0 } } };
    // Every page after the dashboard, then the dashboard again.
    QStringList names;
    QList<double> times;
    // From the choice to the last figure read on the second connection.
    QList<double> filled;
    for (int i = 1; i <= pageItems.size() && shell; ++i) {
        const int page = i % int(pageItems.size());
        names << pageItems.at(page)->objectName();
        QElapsedTimer timer;
        timer.start();
        times << timeToFrame(
            window, [&] { QMetaObject::invokeMethod(shell, "selectPage", Q_ARG(QVariant, page)); });
        filled << timeToFigures(objects.background, timer);
        settle(300);
        // The tabs that read lists of their own, from the choice to the first frame; the page's
        // first tab last, as a visit leaves it.
        QQuickItem *shown = pageItems.at(page);
        const QString pageName = shown->objectName();
        for (const int tab : tabsOf.value(pageName)) {
            names << u"%1:tab%2"_s.arg(pageName.chopped(4)).arg(tab);
            QElapsedTimer timer;
            timer.start();
            times << timeToFrame(window, [&] {
                shown->setProperty("tab", tab);
                if (shown->metaObject()->indexOfMethod("loadTab()") >= 0)
                    QMetaObject::invokeMethod(shown, "loadTab");
            });
            filled << timeToFigures(objects.background, timer);
            settle(300);
        }
    }
    std::printf("%.0f %.0f %.1f %.0f", startup, login, peakKiB() / 1024.0, loginFigures);
    for (double time : times)
        std::printf(" %.1f", time);
    for (double time : filled)
        std::printf(" %.1f", time);
    std::printf("\n%s\n", qPrintable(names.join(u' ')));
    const auto [anonymous, mapped] = residentMiB();
    std::printf("%.1f %.1f\n", anonymous, mapped);
    return 0;
}
