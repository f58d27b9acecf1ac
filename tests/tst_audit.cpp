#include "auditmanager.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAudit : public QObject
{
    Q_OBJECT

private slots:
    void logDefaultsAreEmptyNotNull();
    void getLogsLimit_data();
    void getLogsLimit();
    void getLogsNewestFirstWithUser();
};

void TestAudit::logDefaultsAreEmptyNotNull()
{
    TestFixture f;
    AuditManager audit(f.db());
    audit.log(1, u"login"_s);
    const QVariantMap row = Database::firstRow(f.db()->execQuery(
        u"SELECT user_id, action, table_name, record_id, details FROM audit_logs"_s));
    QCOMPARE(row.value(u"user_id"_s).toInt(), 1);
    QCOMPARE(row.value(u"action"_s).toString(), u"login"_s);
    QVERIFY(!row.value(u"table_name"_s).isNull());
    QCOMPARE(row.value(u"table_name"_s).toString(), QString());
    QCOMPARE(row.value(u"record_id"_s).toInt(), 0);
    QVERIFY(!row.value(u"details"_s).isNull());
    QCOMPARE(row.value(u"details"_s).toString(), QString());

    audit.log(1, u"sell"_s, u"units"_s, 12, u"بيع وحدة"_s);
    const QVariantMap full = Database::firstRow(f.db()->execQuery(
        u"SELECT table_name, record_id, details FROM audit_logs WHERE action='sell'"_s));
    QCOMPARE(full.value(u"table_name"_s).toString(), u"units"_s);
    QCOMPARE(full.value(u"record_id"_s).toInt(), 12);
    QCOMPARE(full.value(u"details"_s).toString(), u"بيع وحدة"_s);
}

void TestAudit::getLogsLimit_data()
{
    QTest::addColumn<int>("limit"); // 0: the default
    QTest::addColumn<int>("rows");
    QTest::newRow("default is 100") << 0 << 100;
    QTest::newRow("five") << 5 << 5;
    QTest::newRow("negative means all") << -1 << 105;
}

void TestAudit::getLogsLimit()
{
    QFETCH(int, limit);
    QFETCH(int, rows);
    TestFixture f;
    AuditManager audit(f.db());
    for (int i = 0; i < 105; ++i)
        audit.log(1, u"edit"_s, u"tenants"_s, i);
    QCOMPARE(f.count(u"audit_logs"_s), 105);
    const QVariantList logs = limit == 0 ? audit.getLogs() : audit.getLogs(limit);
    QCOMPARE(logs.size(), rows);
}

void TestAudit::getLogsNewestFirstWithUser()
{
    TestFixture f;
    AuditManager audit(f.db());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto at = [&f](int userId, const QString &action, const QDateTime &when) {
        f.insert(u"INSERT INTO audit_logs (user_id, action, created_at) VALUES (?,?,?)"_s,
            { userId, action, when.toString(u"yyyy-MM-dd HH:mm:ss"_s) });
    };
    at(1, u"middle"_s, now.addSecs(-3600));
    at(0, u"newest"_s, now);
    at(1, u"oldest"_s, now.addDays(-2));

    const QVariantList logs = audit.getLogs(10);
    QCOMPARE(logs.size(), 3);
    QStringList actions;
    for (const QVariant &row : logs)
        actions << row.toMap().value(u"action"_s).toString();
    QCOMPARE(actions, (QStringList { u"newest"_s, u"middle"_s, u"oldest"_s }));
    QVERIFY(logs.at(0).toMap().value(u"username"_s).isNull());
    QCOMPARE(logs.at(1).toMap().value(u"username"_s).toString(), u"admin"_s);
    QCOMPARE(audit.getLogs(1).first().toMap().value(u"action"_s).toString(), u"newest"_s);
}

QTEST_GUILESS_MAIN(TestAudit)
#include "tst_audit.moc"
