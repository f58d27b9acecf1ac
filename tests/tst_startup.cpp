#include <QDir>
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

private:
    static QProcessEnvironment environment(const QString &home);
    static QString readLog(const QString &home);
};

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
    QFile log(home + u"/data/Belvardino/Belvardino/app.log"_s);
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

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
