#include "passwordhasher.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSeed : public QObject
{
    Q_OBJECT

private slots:
    void freshFileCounts_data();
    void freshFileCounts();
    void chartOfAccountsParents();
    void adminPasswordIsHashed();
    void noSeedWhenAUserExists();
    void reseedAfterAllUsersDeleted();
    void plainPasswordsAreRewrittenOnOpen();
    void hasherRoundTrip_data();
    void hasherRoundTrip();
};

void TestSeed::freshFileCounts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("expected");
    QTest::newRow("users") << u"SELECT COUNT(*) FROM users"_s << 1;
    QTest::newRow("currencies") << u"SELECT COUNT(*) FROM currencies"_s << 3;
    QTest::newRow("primary currencies")
        << u"SELECT COUNT(*) FROM currencies WHERE is_primary=1"_s << 1;
    QTest::newRow("ILS is primary")
        << u"SELECT COUNT(*) FROM currencies WHERE is_primary=1 AND code='ILS'"_s << 1;
    QTest::newRow("accounts") << u"SELECT COUNT(*) FROM accounts WHERE is_system=1"_s << 13;
    QTest::newRow("services") << u"SELECT COUNT(*) FROM services"_s << 5;
    QTest::newRow("usage services") << u"SELECT COUNT(*) FROM services WHERE type='usage'"_s << 2;
}

void TestSeed::freshFileCounts()
{
    QFETCH(QString, sql);
    QFETCH(int, expected);
    TestFixture f;
    QCOMPARE(f.scalar(sql).toInt(), expected);
}

void TestSeed::chartOfAccountsParents()
{
    TestFixture f;
    const QVariantList rows = f.db()->execQuery(
        u"SELECT a.code, p.code AS parent FROM accounts a LEFT JOIN accounts p ON a.parent_id=p.id "
        "ORDER BY a.id"_s);
    QStringList pairs;
    for (const QVariant &row : rows)
        pairs << row.toMap().value(u"code"_s).toString() + u'>'
                + row.toMap().value(u"parent"_s).toString();
    QCOMPARE(pairs.join(u' '),
        u"1000> 1100>1000 1200>1000 2000> 2100>2000 3000> 4000> 4100>4000 4200>4000 4300>4000 "
        "5000> 5100>5000 5200>5000"_s);
    QCOMPARE(f.scalar(u"SELECT name_ar FROM accounts WHERE code='4100'"_s).toString(),
        u"إيرادات الإيجار"_s);
}

void TestSeed::adminPasswordIsHashed()
{
    TestFixture f;
    const QString stored
        = f.scalar(u"SELECT password_hash FROM users WHERE username='admin'"_s).toString();
    QVERIFY(stored != u"qatmo"_s);
    QVERIFY(stored.startsWith(u"$argon2id$"_s));
    QVERIFY(PasswordHasher::verify(stored, u"qatmo"_s));
    QCOMPARE(f.scalar(u"SELECT full_name FROM users"_s).toString(), u"مدير عام"_s);
    QCOMPARE(f.scalar(u"SELECT role FROM users"_s).toString(), u"admin"_s);
}

void TestSeed::noSeedWhenAUserExists()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        Database db;
        QVERIFY(db.initialize(path));
        QVERIFY(db.execNonQuery(u"DELETE FROM services"_s));
        QVERIFY(db.execNonQuery(u"DELETE FROM exchange_rates"_s));
    }
    Database db;
    QVERIFY(db.initialize(path));
    QCOMPARE(db.execQuery(u"SELECT * FROM services"_s).size(), 0);
    QCOMPARE(db.execQuery(u"SELECT * FROM users"_s).size(), 1);
}

void TestSeed::reseedAfterAllUsersDeleted()
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
    QCOMPARE(db.execQuery(u"SELECT * FROM users"_s).size(), 1);
    // Existing codes refuse their duplicates silently; the other seed rows still go in.
    QCOMPARE(db.execQuery(u"SELECT * FROM currencies"_s).size(), 3);
    QCOMPARE(db.execQuery(u"SELECT * FROM services"_s).size(), 10);
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
    for (const QVariant &row : rows)
        QVERIFY(PasswordHasher::isHash(row.toMap().value(u"password_hash"_s).toString()));
    const QString sara = Database::firstRow(
        db.execQuery(u"SELECT password_hash FROM users WHERE username='sara'"_s))
                             .value(u"password_hash"_s)
                             .toString();
    QVERIFY(PasswordHasher::verify(sara, u"secret1"_s));
}

void TestSeed::hasherRoundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("attempt");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same") << u"qatmo"_s << u"qatmo"_s << true;
    QTest::newRow("case differs") << u"qatmo"_s << u"Qatmo"_s << false;
    QTest::newRow("arabic") << u"كلمة سر"_s << u"كلمة سر"_s << true;
    QTest::newRow("empty password") << QString() << QString() << true;
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
