#include "passwordhasher.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSeed : public QObject
{
    Q_OBJECT

private slots:
    void reseedWithoutUsers();
    void reopenWithUsers();
    void hasherRoundTrip();
};

void TestSeed::reseedWithoutUsers()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        Database db;
        QVERIFY(db.initialize(path));
        QVERIFY(db.execNonQuery(u"DELETE FROM users"_s));
    }
    Database db;
    QVERIFY(db.initialize(path));
    // Existing currency codes refuse their duplicates; the other seed rows still go in.
    QCOMPARE(db.execQuery(u"SELECT * FROM services"_s).size(), 10);
    QCOMPARE(db.execQuery(u"SELECT * FROM users"_s).size(), 1);
    QCOMPARE(db.execQuery(u"SELECT * FROM currencies"_s).size(), 3);
}

void TestSeed::reopenWithUsers()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        Database db;
        QVERIFY(db.initialize(path));
        QVERIFY(db.execNonQuery(
            u"INSERT INTO users (username, password_hash) VALUES ('sara', 'secret1')"_s));
        QVERIFY(db.execNonQuery(u"DELETE FROM services"_s));
    }
    Database db;
    QVERIFY(db.initialize(path));
    QCOMPARE(db.execQuery(u"SELECT * FROM services"_s).size(), 0); // no seed while users exist
    const QVariantMap sara = Database::firstRow(
        db.execQuery(u"SELECT password_hash FROM users WHERE username='sara'"_s));
    // A plain text never verifies, so this passes only for a hash of the old password.
    QVERIFY(PasswordHasher::verify(sara.value(u"password_hash"_s).toString(), u"secret1"_s));
}

void TestSeed::hasherRoundTrip()
{
    const QString hash = PasswordHasher::hash(u"كلمة سر"_s);
    QVERIFY(PasswordHasher::isHash(hash));
    QVERIFY(PasswordHasher::verify(hash, u"كلمة سر"_s));
    QVERIFY(!PasswordHasher::verify(hash, u"كلمة سرّ"_s));
    // Salted: the same password never gives the same text twice.
    QVERIFY(PasswordHasher::hash(u"كلمة سر"_s) != hash);
    QVERIFY(!PasswordHasher::verify(u"qatmo"_s, u"qatmo"_s));
}

QTEST_GUILESS_MAIN(TestSeed)
#include "tst_seed.moc"
