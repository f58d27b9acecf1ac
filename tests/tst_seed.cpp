#include "passwordhasher.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSeed : public QObject
{
    Q_OBJECT

private slots:
    void reseedOnlyWithoutUsers_data();
    void reseedOnlyWithoutUsers();
    void plainPasswordsAreRewrittenOnOpen();
    void hasherRoundTrip_data();
    void hasherRoundTrip();
};

void TestSeed::reseedOnlyWithoutUsers_data()
{
    QTest::addColumn<QString>("deletion");
    QTest::addColumn<int>("services");
    QTest::newRow("a user exists: no seed") << u"DELETE FROM services"_s << 0;
    // Existing currency codes refuse their duplicates; the other seed rows still go in.
    QTest::newRow("no user left: seeded again") << u"DELETE FROM users"_s << 10;
}

void TestSeed::reseedOnlyWithoutUsers()
{
    QFETCH(QString, deletion);
    QFETCH(int, services);
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        Database db;
        QVERIFY(db.initialize(path));
        QVERIFY(db.execNonQuery(deletion));
    }
    Database db;
    QVERIFY(db.initialize(path));
    QCOMPARE(db.execQuery(u"SELECT * FROM services"_s).size(), services);
    QCOMPARE(db.execQuery(u"SELECT * FROM users"_s).size(), 1);
    QCOMPARE(db.execQuery(u"SELECT * FROM currencies"_s).size(), 3);
}

void TestSeed::plainPasswordsAreRewrittenOnOpen()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        Database db;
        QVERIFY(db.initialize(path));
        QVERIFY(db.execInsert(
                    u"INSERT INTO users (username, password_hash) VALUES ('sara', 'secret1')"_s)
            > 0);
    }
    Database db;
    QVERIFY(db.initialize(path));
    const QVariantList rows = db.execQuery(u"SELECT username, password_hash FROM users"_s);
    QCOMPARE(rows.size(), 2);
    for (const QVariant &row : rows) {
        const QVariantMap user = row.toMap();
        const QString stored = user.value(u"password_hash"_s).toString();
        QVERIFY(PasswordHasher::isHash(stored));
        QVERIFY(PasswordHasher::verify(
            stored, user.value(u"username"_s).toString() == u"sara"_s ? u"secret1"_s : u"qatmo"_s));
    }
}

void TestSeed::hasherRoundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("attempt");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same arabic") << u"كلمة سر"_s << u"كلمة سر"_s << true;
    QTest::newRow("case differs") << u"qatmo"_s << u"Qatmo"_s << false;
    QTest::newRow("empty attempt") << u"x"_s << QString() << false;
}

void TestSeed::hasherRoundTrip()
{
    QFETCH(QString, password);
    QFETCH(QString, attempt);
    QFETCH(bool, accepted);
    const QString hash = PasswordHasher::hash(password);
    QVERIFY(PasswordHasher::isHash(hash));
    QCOMPARE(PasswordHasher::verify(hash, attempt), accepted);
    // Salted: the same password never gives the same text twice.
    QVERIFY(PasswordHasher::hash(password) != hash);
    QVERIFY(!PasswordHasher::verify(password, password));
}

QTEST_GUILESS_MAIN(TestSeed)
#include "tst_seed.moc"
