#include "authcontroller.h"
#include "passwordhasher.h"
#include "testfixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

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
    void newPasswordLength_data();
    void newPasswordLength();
    void legacyPlainTextRow();
    void defaultCredentials_data();
    void defaultCredentials();
    void throttling_data();
    void throttling();
    void waitText_data();
    void waitText();
    void unknownNameCostsTheSame();
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
    QVERIFY(auth.registerUser(u"omar"_s, u"pass-word-1"_s, u"user"_s));
    QVERIFY(PasswordHasher::isHash(storedPassword(f, u"omar"_s)));
    QVERIFY(auth.login(u"omar"_s, u"pass-word-1"_s));
    QVERIFY(!auth.registerUser(u"omar"_s, u"other-pass"_s, u"admin"_s));
    QCOMPARE(f.count(u"users"_s), 2);
    for (const QVariant &row : auth.getUsers())
        QVERIFY(!row.toMap().contains(u"password_hash"_s));
    QVERIFY(!auth.removeUser(u"admin"_s));
    QVERIFY(auth.removeUser(u"omar"_s));
    QCOMPARE(f.count(u"users"_s), 1);
}

void TestAuth::newPasswordLength_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");

    const QString seven = u"abcd-12"_s;
    const QString eight = u"abcd-123"_s;
    for (const QString &operation : { u"register"_s, u"change"_s, u"reset"_s }) {
        QTest::addRow("%s 7 characters", qPrintable(operation)) << operation << seven << false;
        QTest::addRow("%s 8 characters", qPrintable(operation)) << operation << eight << true;
    }
    QTest::newRow("register 8 Arabic letters") << u"register"_s << u"كلمةسرية"_s << true;
    // Eight UTF-16 units but seven characters: the last one lies outside the basic plane.
    QTest::newRow("register 7 characters, one a pair of units")
        << u"register"_s << u"abcdef"_s + QString::fromUcs4(U"\U0001F511") << false;
    QTest::newRow("register empty") << u"register"_s << QString() << false;
}

// New and changed passwords need eight characters; the stored short one is kept on refusal.
void TestAuth::newPasswordLength()
{
    QFETCH(QString, operation);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    TestFixture f;
    AuthController auth(f.db());
    QVERIFY(auth.login(u"admin"_s, u"qatmo"_s));
    QCOMPARE(auth.passwordRefusal(password).isEmpty(), accepted);

    QString who = u"admin"_s;
    bool done = false;
    if (operation == u"register"_s) {
        who = u"omar"_s;
        done = auth.registerUser(who, password, u"user"_s);
        QCOMPARE(f.count(u"users"_s), accepted ? 2 : 1);
    } else if (operation == u"change"_s) {
        done = auth.changePassword(u"qatmo"_s, password);
    } else {
        done = auth.resetPassword(who, password);
    }
    QCOMPARE(done, accepted);
    auth.logout();
    QCOMPARE(auth.login(who, password), accepted);
    if (who == u"admin"_s) {
        auth.logout();
        QCOMPARE(auth.login(u"admin"_s, u"qatmo"_s), !accepted);
    }
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
    QVERIFY(!auth.changePassword(u"wrong"_s, u"new-pass-1"_s));
    QCOMPARE(storedPassword(f, u"legacy"_s), u"old-pw"_s);
    QVERIFY(auth.changePassword(u"old-pw"_s, u"new-pass-1"_s));
    const QString after = storedPassword(f, u"legacy"_s);
    QVERIFY(PasswordHasher::isHash(after));
    QVERIFY(PasswordHasher::verify(after, u"new-pass-1"_s));
    auth.logout();
    QVERIFY(!auth.login(u"legacy"_s, u"old-pw"_s));
    QVERIFY(auth.login(u"legacy"_s, u"new-pass-1"_s));
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

void TestAuth::throttling_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("failures");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<int>("lock");
    QTest::newRow("four failures lock nothing") << u"admin"_s << 4 << false << 0;
    QTest::newRow("the fifth locks for 30 s") << u"admin"_s << 5 << false << 30;
    QTest::newRow("the sixth doubles it") << u"admin"_s << 6 << false << 60;
    QTest::newRow("the ninth") << u"admin"_s << 9 << false << 480;
    QTest::newRow("capped at 15 minutes") << u"admin"_s << 10 << false << 900;
    QTest::newRow("still capped") << u"admin"_s << 14 << false << 900;
    QTest::newRow("a restart keeps the lock") << u"admin"_s << 6 << true << 60;
    QTest::newRow("unknown names are locked alike") << u"nobody"_s << 5 << false << 30;
}

// Each failure is made once the previous lock has run out; the clock is moved by hand.
void TestAuth::throttling()
{
    QFETCH(QString, name);
    QFETCH(int, failures);
    QFETCH(bool, restart);
    QFETCH(int, lock);
    TestFixture f;
    QDateTime now = QDateTime::currentDateTimeUtc();
    const auto clock = [&now] { return now; };
    auto auth = std::make_unique<AuthController>(f.db());
    auth->setClock(clock);
    for (int i = 0; i < failures; ++i) {
        now = now.addSecs(auth->lockSecondsLeft(name));
        QVERIFY(!auth->login(name, u"wrong"_s));
    }
    if (restart) {
        auth = std::make_unique<AuthController>(f.db());
        auth->setClock(clock);
    }
    QCOMPARE(auth->lockSecondsLeft(name), lock);
    if (name != u"admin"_s)
        return;

    QSignalSpy failed(auth.get(), &AuthController::loginFailed);
    if (lock > 0) {
        // Even the right password waits, and the page is told for how long.
        now = now.addSecs(lock - 1);
        QVERIFY(!auth->login(name, u"qatmo"_s));
        QVERIFY(failed.last().at(0).toString().contains(AuthController::waitText(1)));
        QCOMPARE(auth->lockSecondsLeft(name), 1);
        now = now.addSecs(1);
    }
    QVERIFY(auth->login(name, u"qatmo"_s));
    // A success starts the count again: four more failures lock nothing.
    auth->logout();
    for (int i = 0; i < AuthController::kFreeAttempts - 1; ++i)
        QVERIFY(!auth->login(name, u"wrong"_s));
    QCOMPARE(auth->lockSecondsLeft(name), 0);
}

void TestAuth::waitText_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("one second") << 1 << u"ثانية واحدة"_s;
    QTest::newRow("two seconds, dual") << 2 << u"ثانيتين"_s;
    QTest::newRow("few seconds, plural") << 7 << u"7 ثوانٍ"_s;
    QTest::newRow("many seconds, singular") << 30 << u"30 ثانية"_s;
    QTest::newRow("a minute") << 60 << u"دقيقة واحدة"_s;
    QTest::newRow("part of a minute rounds up") << 61 << u"دقيقتين"_s;
    QTest::newRow("eight minutes") << 480 << u"8 دقائق"_s;
    QTest::newRow("fifteen minutes") << 900 << u"15 دقيقة"_s;
}

void TestAuth::waitText()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(AuthController::waitText(seconds), text);
}

// A failed login must not tell whether the name exists. Wall-clock timing on a shared machine
// is noisy: the fastest of a few tries of each, within a factor of two.
void TestAuth::unknownNameCostsTheSame()
{
    TestFixture f;
    AuthController auth(f.db());
    QVERIFY(!auth.login(u"warm-up"_s, u"wrong"_s));
    const auto fastest = [&auth](const std::function<QString(int)> &name) {
        qint64 best = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            auth.login(name(i), u"wrong"_s);
            best = std::min(best, timer.nsecsElapsed());
        }
        return best;
    };
    const qint64 known = fastest([](int) { return u"admin"_s; });
    const qint64 unknown = fastest([](int i) { return u"ghost-%1"_s.arg(i); });
    QVERIFY2(unknown * 2 > known && known * 2 > unknown,
        qPrintable(u"known %1 ms, unknown %2 ms"_s.arg(known / 1e6).arg(unknown / 1e6)));
}

QTEST_GUILESS_MAIN(TestAuth)
#include "tst_auth.moc"
