#include "authcontroller.h"
#include "passwordhasher.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString storedPassword(TestFixture &f, const QString &username)
{
    return f.scalar(u"SELECT password_hash FROM users WHERE username=?"_s, { username }).toString();
}

} // namespace

class TestAuth : public QObject
{
    Q_OBJECT

private slots:
    void login_data();
    void login();
    void registerAndRemoveUser();
    void legacyPlainTextRow();
    void defaultCredentials_data();
    void defaultCredentials();
};

void TestAuth::login_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("deactivateAdmin");
    QTest::addColumn<bool>("ok");

    QTest::newRow("seeded admin") << u"qatmo"_s << false << true;
    QTest::newRow("inactive user") << u"qatmo"_s << true << false;
    QTest::newRow("stored hash as password") << u"<stored>"_s << false << false;
}

void TestAuth::login()
{
    QFETCH(QString, password);
    QFETCH(bool, deactivateAdmin);
    QFETCH(bool, ok);
    TestFixture f;
    if (deactivateAdmin)
        QVERIFY(f.db()->execNonQuery(u"UPDATE users SET active=0 WHERE username='admin'"_s));
    if (password == u"<stored>"_s)
        password = storedPassword(f, u"admin"_s);
    AuthController auth(f.db());
    QSignalSpy failed(&auth, &AuthController::loginFailed);
    QCOMPARE(auth.login(u"admin"_s, password), ok);
    QCOMPARE(auth.isLoggedIn(), ok);
    QCOMPARE(failed.count(), ok ? 0 : 1);
    QCOMPARE(f.count(u"app_log"_s), ok ? 1 : 0);
}

void TestAuth::registerAndRemoveUser()
{
    TestFixture f;
    AuthController auth(f.db());
    QVERIFY(auth.registerUser(u"omar"_s, u"pass-1"_s, u"user"_s));
    QVERIFY(PasswordHasher::isHash(storedPassword(f, u"omar"_s)));
    QVERIFY(auth.login(u"omar"_s, u"pass-1"_s));
    QVERIFY(!auth.registerUser(u"omar"_s, u"other"_s, u"admin"_s));
    QCOMPARE(f.count(u"users"_s), 2);
    for (const QVariant &row : auth.getUsers())
        QVERIFY(!row.toMap().contains(u"password_hash"_s));
    QVERIFY(!auth.removeUser(u"admin"_s));
    QVERIFY(auth.removeUser(u"omar"_s));
    QCOMPARE(f.count(u"users"_s), 1);
}

// A row as an older copy of the program wrote it: upgraded by a good login only.
void TestAuth::legacyPlainTextRow()
{
    TestFixture f;
    QVERIFY(f.db()->execNonQuery(
        u"INSERT INTO users (username, password_hash) VALUES ('legacy', 'old-pw')"_s));
    AuthController auth(f.db());
    QVERIFY(!auth.login(u"legacy"_s, u"Old-pw"_s));
    QCOMPARE(storedPassword(f, u"legacy"_s), u"old-pw"_s);
    QVERIFY(auth.login(u"legacy"_s, u"old-pw"_s));
    QVERIFY(PasswordHasher::verify(storedPassword(f, u"legacy"_s), u"old-pw"_s));

    // Put the plain text back to test the password change's own plain-text check.
    QVERIFY(
        f.db()->execNonQuery(u"UPDATE users SET password_hash='old-pw' WHERE username='legacy'"_s));
    QVERIFY(!auth.changePassword(u"wrong"_s, u"new-pw"_s));
    QCOMPARE(storedPassword(f, u"legacy"_s), u"old-pw"_s);
    QVERIFY(auth.changePassword(u"old-pw"_s, u"new-pw"_s));
    const QString after = storedPassword(f, u"legacy"_s);
    QVERIFY(PasswordHasher::isHash(after));
    QVERIFY(PasswordHasher::verify(after, u"new-pw"_s));
    auth.logout();
    QVERIFY(!auth.login(u"legacy"_s, u"old-pw"_s));
    QVERIFY(auth.login(u"legacy"_s, u"new-pw"_s));
}

void TestAuth::defaultCredentials_data()
{
    QTest::addColumn<QString>("setupSql");
    QTest::addColumn<bool>("works");
    QTest::newRow("fresh database") << QString() << true;
    QTest::newRow("administrator inactive")
        << u"UPDATE users SET active=0 WHERE username='admin'"_s << false;
    QTest::newRow("legacy plain default")
        << u"UPDATE users SET password_hash='qatmo' WHERE username='admin'"_s << true;
    QTest::newRow("legacy plain other password")
        << u"UPDATE users SET password_hash='n3w' WHERE username='admin'"_s << false;
}

void TestAuth::defaultCredentials()
{
    QFETCH(QString, setupSql);
    QFETCH(bool, works);
    TestFixture f;
    AuthController auth(f.db());
    if (!setupSql.isEmpty())
        QVERIFY(f.db()->execNonQuery(setupSql));
    const QString stored = storedPassword(f, u"admin"_s);
    // Only a check: no session, and a legacy row is not upgraded by it.
    QCOMPARE(auth.defaultCredentialsWork(), works);
    QVERIFY(!auth.isLoggedIn());
    QCOMPARE(storedPassword(f, u"admin"_s), stored);
}

QTEST_GUILESS_MAIN(TestAuth)
#include "tst_auth.moc"
