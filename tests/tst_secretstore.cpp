#include "database.h"
#include "serversettings.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Against a real desktop secret store: a session bus with the GNOME keyring, which the test
// command starts for this suite (tests/with-secret-store.sh). Without a bus it is skipped.
class TestSecretStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void passwordComesBackFromTheStore_data();
    void passwordComesBackFromTheStore();
};

void TestSecretStore::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        QSKIP("no session bus: run through tests/with-secret-store.sh");
}

void TestSecretStore::passwordComesBackFromTheStore_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("later"); // given when the same server is chosen again
    QTest::addColumn<QString>("expected"); // what the next start reads back
    QTest::newRow("plain") << u"s3cret-word"_s << u"-"_s << u"s3cret-word"_s;
    QTest::newRow("Arabic and URL characters")
        << u"كلمة@سر/:?#% مع مسافة"_s << u"-"_s << u"كلمة@سر/:?#% مع مسافة"_s;
    QTest::newRow("chosen again without one keeps it")
        << u"first-word"_s << QString() << u"first-word"_s;
    QTest::newRow("chosen again with another replaces it")
        << u"first-word"_s << u"second-word"_s << u"second-word"_s;
}

// The password travels from the settings page to the next start through the store alone.
void TestSecretStore::passwordComesBackFromTheStore()
{
    QFETCH(QString, password);
    QFETCH(QString, later);
    QFETCH(QString, expected);
    static int serial = 0;
    // Each row its own server entry, so no row reads another's password.
    const QString database = u"books%1"_s.arg(++serial);
    QTemporaryDir data;
    Database db;
    ServerSettings where(data.path(), &db);
    QVERIFY2(where.chooseServer(u"/run/office"_s, 5433, database, u"clerk"_s, password),
        qPrintable(where.lastError()));
    if (later != u"-"_s)
        QVERIFY(where.chooseServer(u"/run/office"_s, 5433, database, u"clerk"_s, later));

    QString note;
    const QUrl opened(ServerSettings(data.path(), &db).target(&note));
    QVERIFY2(note.isEmpty(), qPrintable(note));
    QCOMPARE(opened.password(QUrl::FullyDecoded), expected);
    QCOMPARE(opened.userName(), u"clerk"_s);
    QCOMPARE(opened.path(), u"/"_s + database);

    // Another user of the same server has no password of this one's.
    QVERIFY(where.chooseServer(u"/run/office"_s, 5433, database, u"manager"_s, QString()));
    const QUrl other(ServerSettings(data.path(), &db).target(&note));
    QVERIFY2(note.isEmpty(), qPrintable(note));
    QCOMPARE(other.password(), QString());

    QDirIterator files(data.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains(expected.toUtf8()));
    }
}

QTEST_MAIN(TestSecretStore)
#include "tst_secretstore.moc"
