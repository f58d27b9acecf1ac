#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

// Runs the real executable with its own HOME and data location.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void twoRunsAppendTwoBlocks();
    void unwritableDataDirectoryEndsBeforeAnyWindow();
    void secondCopyStopsBeforeTouchingTheData_data();
    void secondCopyStopsBeforeTouchingTheData();
    void lockOfAKilledRunIsRecovered();

private:
    static QProcessEnvironment environment(const QString &home);
    static QString readLog(const QString &home);
    static QString dataDir(const QString &home);
    // Every file of the data directory with its size and modification time.
    static QStringList filesOf(const QString &home);
    static bool startAndWaitForWindow(QProcess &app, const QString &home, int run);
};

QString TestStartup::dataDir(const QString &home)
{
    return home + u"/data/Belvardino/Belvardino"_s;
}

QStringList TestStartup::filesOf(const QString &home)
{
    QStringList files;
    QDirIterator it(dataDir(home), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files.append(u"%1 %2 %3"_s.arg(info.filePath())
                         .arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    files.sort();
    return files;
}

bool TestStartup::startAndWaitForWindow(QProcess &app, const QString &home, int run)
{
    app.setProcessEnvironment(environment(home));
    app.start(QStringLiteral(BELVARDINO_EXECUTABLE), {});
    if (!app.waitForStarted())
        return false;
    QDeadlineTimer deadline(30000);
    while (readLog(home).count(u"QML root loaded successfully"_s) < run) {
        if (deadline.hasExpired() || app.state() == QProcess::NotRunning)
            return false;
        QTest::qWait(50);
    }
    return true;
}

QProcessEnvironment TestStartup::environment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, home);
    env.insert(u"XDG_DATA_HOME"_s, home + u"/data"_s);
    env.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
    env.insert(u"XDG_CACHE_HOME"_s, home + u"/cache"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return env;
}

QString TestStartup::readLog(const QString &home)
{
    QFile log(dataDir(home) + u"/app.log"_s);
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(log.readAll());
}

void TestStartup::twoRunsAppendTwoBlocks()
{
    QTemporaryDir home;
    for (int run = 1; run <= 2; ++run) {
        QProcess app;
        app.setProcessEnvironment(environment(home.path()));
        app.start(QStringLiteral(BELVARDINO_EXECUTABLE), {});
        QVERIFY(app.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            readLog(home.path()).count(u"QML root loaded successfully"_s) == run, 30000);
        ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(30000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
    }

    const QStringList lines = readLog(home.path()).split(u'\n', Qt::SkipEmptyParts);
    const QString separator(43, u'-');
    QCOMPARE(lines.size(), 8);
    for (int block = 0; block < 2; ++block) {
        QCOMPARE(lines.at(block * 4), separator);
        QVERIFY(lines.at(block * 4 + 1).startsWith(u"App started at "_s));
        QCOMPARE(lines.at(block * 4 + 2), u"QML root loaded successfully"_s);
        QCOMPARE(lines.at(block * 4 + 3), u"App exited with code: 0"_s);
    }
    QVERIFY(QFile::exists(home.path() + u"/data/Belvardino/Belvardino/belvardino.db"_s));
}

void TestStartup::unwritableDataDirectoryEndsBeforeAnyWindow()
{
    QTemporaryDir home;
    // A plain file where the data directory belongs: no directory and no database can be made
    // there, whoever runs the test (root ignores permission bits).
    QVERIFY(QDir().mkpath(home.path() + u"/data"_s));
    QFile blocker(home.path() + u"/data/Belvardino"_s);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a directory");
    blocker.close();

    QProcess app;
    app.setProcessEnvironment(environment(home.path()));
    app.start(QStringLiteral(BELVARDINO_EXECUTABLE), {});
    QVERIFY(app.waitForFinished(30000));
    QCOMPARE(app.exitCode(), 255); // -1 as a process exit status
    QVERIFY(QString::fromUtf8(app.readAllStandardError())
                .contains(u"Failed to initialize database!"_s));
    QCOMPARE(blocker.size(), qint64(15));
    QVERIFY(readLog(home.path()).isEmpty());
}

void TestStartup::secondCopyStopsBeforeTouchingTheData_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("the application again")
        << QStringLiteral(BELVARDINO_EXECUTABLE) << QStringList();
#ifdef DEMODATA_EXECUTABLE
    QTest::newRow("the demo data tool")
        << QStringLiteral(DEMODATA_EXECUTABLE) << QStringList { u"--app-data"_s };
#endif
}

void TestStartup::secondCopyStopsBeforeTouchingTheData()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QTemporaryDir home;
    QProcess first;
    QVERIFY(startAndWaitForWindow(first, home.path(), 1));
    const QStringList before = filesOf(home.path());

    QProcess second;
    second.setProcessEnvironment(environment(home.path()));
    second.start(program, arguments);
    const bool ended = second.waitForFinished(30000);
    if (!ended)
        second.kill();
    QVERIFY(ended);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QVERIFY(second.exitCode() != 0);
    QCOMPARE(filesOf(home.path()), before);
    QCOMPARE(first.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(30000));
    QCOMPARE(first.exitCode(), 0);
}

void TestStartup::lockOfAKilledRunIsRecovered()
{
    QTemporaryDir home;
    QProcess crashed;
    QVERIFY(startAndWaitForWindow(crashed, home.path(), 1));
    ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
    QVERIFY(crashed.waitForFinished(30000));
    // The killed run leaves its lock behind; the next start takes it over.
    QVERIFY(QFile::exists(dataDir(home.path()) + u"/belvardino.lock"_s));

    QProcess next;
    QVERIFY(startAndWaitForWindow(next, home.path(), 2));
    ::kill(static_cast<pid_t>(next.processId()), SIGTERM);
    QVERIFY(next.waitForFinished(30000));
    QCOMPARE(next.exitCode(), 0);
    QVERIFY(!QFile::exists(dataDir(home.path()) + u"/belvardino.lock"_s));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
