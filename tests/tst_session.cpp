#include "appobjects.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int addUser(TestFixture &f, const QString &name, const QString &role)
{
    // A plain-text row: a login checks it without hashing, which keeps the tests quick.
    return f.insert(u"INSERT INTO users (username, password_hash, role, full_name) "
                    "VALUES (?, 'pass-1', ?, ?)"_s,
        { name, role, name });
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void changedUnderTheSession_data();
    void changedUnderTheSession();
    void restoreEndsTheSession();
    void writesRecordWho_data();
    void writesRecordWho();
    void undoneWriteLeavesNoRecord();
    void postingRecordsTheEntryNotEachBalance();
    void eventsRecorded_data();
    void eventsRecorded();
};

void TestSession::changedUnderTheSession_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("stillWrites");
    QTest::addColumn<bool>("stillLoggedIn");
    QTest::newRow("unchanged") << QString() << true << true;
    QTest::newRow("deactivated") << u"UPDATE users SET active=0 WHERE id=?"_s << false << false;
    QTest::newRow("removed") << u"DELETE FROM users WHERE id=?"_s << false << false;
    QTest::newRow("made a viewer")
        << u"UPDATE users SET role='viewer' WHERE id=?"_s << false << true;
}

// What the administrator changes about a logged-in user applies at that user's next operation.
void TestSession::changedUnderTheSession()
{
    QFETCH(QString, change);
    QFETCH(bool, stillWrites);
    QFETCH(bool, stillLoggedIn);
    TestFixture f;
    AppObjects o(f.db(), f.dataDir());
    o.authCtrl.session()->attach();
    const int id = addUser(f, u"omar"_s, u"user"_s);
    QVERIFY(o.authCtrl.login(u"omar"_s, u"pass-1"_s));
    if (!change.isEmpty())
        QVERIFY(f.db()->execNonQuery(change, { id }));
    QSignalSpy auth(&o.authCtrl, &AuthController::authChanged);
    QSignalSpy refused(&o.authCtrl, &AuthController::operationRefused);
    const int tenants = f.count(u"tenants"_s);

    const int tenant = o.tenantModel.add(u"سالم"_s, u"900"_s, {}, {}, {});

    QCOMPARE(tenant > 0, stillWrites);
    QCOMPARE(f.count(u"tenants"_s), tenants + (stillWrites ? 1 : 0));
    QCOMPARE(refused.count(), stillWrites ? 0 : 1);
    QCOMPARE(o.authCtrl.isLoggedIn(), stillLoggedIn);
    // Any change is told to the interface once: back to the login page, or fewer buttons.
    QCOMPARE(auth.count(), change.isEmpty() ? 0 : 1);
}

// The restored file may hold other users: whoever restored must log in again.
void TestSession::restoreEndsTheSession()
{
    TestFixture f;
    AppObjects o(f.db(), f.dataDir());
    QVERIFY(o.backupManager.createBackup());
    const QString backup = o.backupManager.listBackups().value(0);
    o.authCtrl.session()->attach();
    QVERIFY(o.authCtrl.login(u"admin"_s, u"qatmo"_s));
    QSignalSpy auth(&o.authCtrl, &AuthController::authChanged);

    QVERIFY(o.backupManager.restoreBackup(backup));

    QVERIFY(!o.authCtrl.isLoggedIn());
    QCOMPARE(auth.count(), 1);
    QVERIFY(o.tenantModel.add(u"سالم"_s, u"900"_s, {}, {}, {}) < 0);
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM audit_logs WHERE action='restore'"_s).toInt(), 1);
}

void TestSession::writesRecordWho_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("table");
    QTest::newRow("insert") << u"add"_s << u"create"_s << u"tenants"_s;
    QTest::newRow("update") << u"update"_s << u"update"_s << u"tenants"_s;
    QTest::newRow("delete") << u"remove"_s << u"delete"_s << u"tenants"_s;
    QTest::newRow("a setting, stored by replacing its row")
        << u"profile"_s << u"create"_s << u"settings"_s;
}

void TestSession::writesRecordWho()
{
    QFETCH(QString, operation);
    QFETCH(QString, action);
    QFETCH(QString, table);
    TestFixture f;
    const int existing = f.addTenant(u"قديم"_s, u"800"_s);
    AppObjects o(f.db(), f.dataDir());
    o.authCtrl.session()->attach();
    const int userId = addUser(f, u"sara"_s, u"admin"_s);
    QVERIFY(o.authCtrl.login(u"sara"_s, u"pass-1"_s));
    const int lastId = f.scalar(u"SELECT COALESCE(MAX(id), 0) FROM audit_logs"_s).toInt();

    int recordId = existing;
    if (operation == u"add"_s)
        recordId = o.tenantModel.add(u"سالم"_s, u"900"_s, {}, {}, {});
    else if (operation == u"update"_s)
        QVERIFY(o.tenantModel.update(existing, u"جديد"_s, u"800"_s, {}, {}, {}));
    else if (operation == u"remove"_s)
        QVERIFY(o.tenantModel.remove(existing));
    else
        o.settingsManager.updateCompanyProfile(u"الأمل"_s, {}, {}, {});

    const QVariantList rows = f.db()->execQuery(u"SELECT user_id, record_id, details, host FROM "
                                                "audit_logs WHERE id > ? AND action=? AND "
                                                "table_name=?"_s,
        { lastId, action, table });
    QVERIFY(!rows.isEmpty());
    const QVariantMap row = rows.first().toMap();
    QCOMPARE(row.value(u"user_id"_s).toInt(), userId);
    // Operators sharing a server are told apart by their computers too.
    QCOMPARE(row.value(u"host"_s).toString(), QSysInfo::machineHostName());
    QVERIFY(!row.value(u"details"_s).toString().isEmpty());
    if (table == u"tenants"_s)
        QCOMPARE(row.value(u"record_id"_s).toInt(), recordId);
}

// A write undone as a whole takes its audit rows with it.
void TestSession::undoneWriteLeavesNoRecord()
{
    TestFixture f;
    AppObjects o(f.db(), f.dataDir());
    o.authCtrl.session()->attach();
    QVERIFY(o.authCtrl.login(u"admin"_s, u"qatmo"_s));
    const int before = f.count(u"audit_logs"_s);
    // The property row goes in first; its cost centre then fails and undoes both.
    f.failWrites(u"cost_centers"_s);
    QVERIFY(o.propertyModel.add(u"برج"_s, u"residential"_s, {}, {}, {}) < 0);
    QCOMPARE(f.count(u"properties"_s), 0);
    QCOMPARE(f.count(u"audit_logs"_s), before);
}

// Every posted line moves an account's balance; the audit keeps the entry, and an account only
// when the account itself changes.
void TestSession::postingRecordsTheEntryNotEachBalance()
{
    TestFixture f;
    AppObjects o(f.db(), f.dataDir());
    o.authCtrl.session()->attach();
    QVERIFY(o.authCtrl.login(u"admin"_s, u"qatmo"_s));
    const auto logged = [&f](const QString &table) {
        return f.scalar(u"SELECT COUNT(*) FROM audit_logs WHERE table_name=?"_s, { table }).toInt();
    };
    const int entries = logged(u"journal_entries"_s);
    const QVariantMap item { { u"description"_s, u"إيجار"_s }, { u"type"_s, u"rent"_s },
        { u"unit_price"_s, 900 }, { u"total"_s, 900 } };
    QVERIFY(o.invoiceModel.createInvoice(
                f.addTenant(u"سالم"_s), 0, TestFixture::today().toString(u"yyyy-MM"_s), { item }, 1)
        > 0);
    QCOMPARE(logged(u"journal_entries"_s), entries + 1);
    QCOMPARE(logged(u"accounts"_s), 0);
    QVERIFY(o.accountModel.rename(
        f.scalar(u"SELECT id FROM accounts WHERE code='1200'"_s).toInt(), u"ذمم المستأجرين"_s));
    QCOMPARE(logged(u"accounts"_s), 1);
}

void TestSession::eventsRecorded_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("action");
    QTest::newRow("login") << u"login"_s << u"login"_s;
    QTest::newRow("logout") << u"logout"_s << u"logout"_s;
    QTest::newRow("failed login") << u"wrong"_s << u"login_failed"_s;
    QTest::newRow("lockout") << u"five wrong"_s << u"lockout"_s;
    QTest::newRow("backup") << u"backup"_s << u"backup"_s;
}

void TestSession::eventsRecorded()
{
    QFETCH(QString, event);
    QFETCH(QString, action);
    TestFixture f;
    AppObjects o(f.db(), f.dataDir());
    o.authCtrl.session()->attach();
    const auto recorded = [&] {
        return f.scalar(u"SELECT COUNT(*) FROM audit_logs WHERE action=?"_s, { action }).toInt();
    };
    QCOMPARE(recorded(), 0);
    if (event == u"wrong"_s || event == u"five wrong"_s) {
        for (int i = 0; i < (event == u"wrong"_s ? 1 : AuthController::kFreeAttempts); ++i)
            QVERIFY(!o.authCtrl.login(u"admin"_s, u"wrong"_s));
    } else {
        QVERIFY(o.authCtrl.login(u"admin"_s, u"qatmo"_s));
        if (event == u"logout"_s)
            o.authCtrl.logout();
        else if (event == u"backup"_s)
            QVERIFY(o.backupManager.createBackup());
    }
    QCOMPARE(recorded(), 1);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
