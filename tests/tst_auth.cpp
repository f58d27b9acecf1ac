#include "authcontroller.h"
#include "passwordhasher.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kFailure = u"اسم المستخدم أو كلمة المرور غير صحيحة"_s;

// A row as an older copy of the program wrote it, after start-up's own upgrade has run.
int addPlainUser(TestFixture &f, const QString &username, const QString &password)
{
    return f.insert(u"INSERT INTO users (username, password_hash, full_name, role) "
                    "VALUES (?,?,?,'user')"_s,
        { username, password, u"مستخدم قديم"_s });
}

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
    void legacyPlainTextUpgradedAtLogin();
    void registerAndRemoveUser();
    void changePassword_data();
    void changePassword();
    void defaultCredentials_data();
    void defaultCredentials();
};

void TestAuth::login_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("deactivateAdmin");
    QTest::addColumn<bool>("ok");

    QTest::newRow("seeded admin") << u"admin"_s << u"qatmo"_s << false << true;
    QTest::newRow("wrong password") << u"admin"_s << u"qatmo1"_s << false << false;
    QTest::newRow("user name case") << u"Admin"_s << u"qatmo"_s << false << false;
    QTest::newRow("unknown user") << u"nobody"_s << u"qatmo"_s << false << false;
    QTest::newRow("inactive user") << u"admin"_s << u"qatmo"_s << true << false;
    QTest::newRow("stored hash as password") << u"admin"_s << u"<stored>"_s << false << false;
}

void TestAuth::login()
{
    QFETCH(QString, username);
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
    QCOMPARE(auth.login(username, password), ok);
    QCOMPARE(auth.isLoggedIn(), ok);
    QCOMPARE(failed.count(), ok ? 0 : 1);
    if (!ok)
        QCOMPARE(failed.first().first().toString(), kFailure);
    QCOMPARE(f.count(u"app_log"_s), ok ? 1 : 0);
}

void TestAuth::legacyPlainTextUpgradedAtLogin()
{
    TestFixture f;
    addPlainUser(f, u"salma"_s, u"s3cret"_s);
    AuthController auth(f.db());

    QVERIFY(!auth.login(u"salma"_s, u"S3cret"_s));
    QCOMPARE(storedPassword(f, u"salma"_s), u"s3cret"_s);

    QVERIFY(auth.login(u"salma"_s, u"s3cret"_s));
    const QString stored = storedPassword(f, u"salma"_s);
    QVERIFY(PasswordHasher::isHash(stored));
    QVERIFY(PasswordHasher::verify(stored, u"s3cret"_s));
}

void TestAuth::registerAndRemoveUser()
{
    TestFixture f;
    AuthController auth(f.db());
    QVERIFY(auth.registerUser(u"omar"_s, u"pass-1"_s, u"user"_s));
    QVERIFY(PasswordHasher::isHash(storedPassword(f, u"omar"_s)));
    QVERIFY(auth.login(u"omar"_s, u"pass-1"_s));
    QCOMPARE(auth.currentRole(), u"user"_s);
    QVERIFY(!auth.registerUser(u"omar"_s, u"other"_s, u"admin"_s));
    QCOMPARE(f.count(u"users"_s), 2);
    for (const QVariant &row : auth.getUsers())
        QVERIFY(!row.toMap().contains(u"password_hash"_s));
    QVERIFY(!auth.removeUser(u"admin"_s));
    QVERIFY(auth.removeUser(u"omar"_s));
    QCOMPARE(f.count(u"users"_s), 1);
}

void TestAuth::changePassword_data()
{
    QTest::addColumn<QString>("loginAs"); // empty: nobody logged in
    QTest::addColumn<QString>("oldPass");
    QTest::addColumn<bool>("ok");

    QTest::newRow("before any login") << QString() << u"qatmo"_s << false;
    QTest::newRow("wrong old password") << u"admin"_s << u"wrong"_s << false;
    QTest::newRow("right old password") << u"admin"_s << u"qatmo"_s << true;
    QTest::newRow("legacy plain-text row") << u"legacy"_s << u"old-pw"_s << true;
}

void TestAuth::changePassword()
{
    QFETCH(QString, loginAs);
    QFETCH(QString, oldPass);
    QFETCH(bool, ok);
    TestFixture f;
    addPlainUser(f, u"legacy"_s, u"old-pw"_s);
    AuthController auth(f.db());
    if (!loginAs.isEmpty())
        QVERIFY(auth.login(loginAs, loginAs == u"admin"_s ? u"qatmo"_s : u"old-pw"_s));
    // Logging in hashed the legacy row; put it back to test the plain-text check itself.
    if (loginAs == u"legacy"_s)
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE users SET password_hash='old-pw' WHERE username='legacy'"_s));
    const QString user = loginAs.isEmpty() ? u"admin"_s : loginAs;
    const QString before = storedPassword(f, user);
    QCOMPARE(auth.changePassword(oldPass, u"new-pw"_s), ok);
    const QString after = storedPassword(f, user);
    if (!ok) {
        QCOMPARE(after, before);
        return;
    }
    QVERIFY(PasswordHasher::isHash(after));
    QVERIFY(PasswordHasher::verify(after, u"new-pw"_s));
    auth.logout();
    QVERIFY(!auth.login(user, oldPass));
    QVERIFY(auth.login(user, u"new-pw"_s));
}

void TestAuth::defaultCredentials_data()
{
    QTest::addColumn<QString>("setupSql");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<bool>("works");
    QTest::newRow("fresh database") << QString() << QString() << true;
    QTest::newRow("password changed") << QString() << u"n3w"_s << false;
    QTest::newRow("administrator inactive")
        << u"UPDATE users SET active=0 WHERE username='admin'"_s << QString() << false;
    QTest::newRow("legacy plain default")
        << u"UPDATE users SET password_hash='qatmo' WHERE username='admin'"_s << QString() << true;
}

void TestAuth::defaultCredentials()
{
    QFETCH(QString, setupSql);
    QFETCH(QString, newPassword);
    QFETCH(bool, works);
    TestFixture f;
    AuthController auth(f.db());
    if (!setupSql.isEmpty())
        QVERIFY(f.db()->execNonQuery(setupSql));
    if (!newPassword.isEmpty()) {
        QVERIFY(auth.login(u"admin"_s, u"qatmo"_s));
        QVERIFY(auth.changePassword(u"qatmo"_s, newPassword));
        auth.logout();
    }
    const QString stored = storedPassword(f, u"admin"_s);
    // Only a check: no session, and a legacy row is not upgraded by it.
    QCOMPARE(auth.defaultCredentialsWork(), works);
    QVERIFY(!auth.isLoggedIn());
    QCOMPARE(storedPassword(f, u"admin"_s), stored);
}

QTEST_GUILESS_MAIN(TestAuth)
#include "tst_auth.moc"
