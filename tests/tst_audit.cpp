#include "auditmanager.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAudit : public QObject
{
    Q_OBJECT

private slots:
    void getLogsLimit();
    void getLogsNewestFirstWithUser();
    void logsPage_data();
    void logsPage();
};

// 100 rows by default; a negative limit means all of them.
void TestAudit::getLogsLimit()
{
    TestFixture f;
    AuditManager audit(f.db());
    for (int i = 0; i < 105; ++i)
        audit.log(1, u"edit"_s, u"tenants"_s, i);
    QCOMPARE(audit.getLogs().size(), 100);
    QCOMPARE(audit.getLogs(-1).size(), 105);
}

void TestAudit::getLogsNewestFirstWithUser()
{
    TestFixture f;
    AuditManager audit(f.db());
    const QString sql = u"INSERT INTO audit_logs (user_id, action, created_at) VALUES (?,?,?)"_s;
    f.insert(sql, { 1, u"middle"_s, u"2024-03-01 09:00:00"_s });
    f.insert(sql, { 0, u"newest"_s, u"2024-03-01 10:00:00"_s });
    f.insert(sql, { 1, u"oldest"_s, u"2024-02-28 23:00:00"_s });
    QStringList rows;
    for (const QVariant &row : audit.getLogs(10)) {
        const QVariantMap log = row.toMap();
        rows << log.value(u"action"_s).toString() + u'/' + log.value(u"username"_s).toString();
    }
    // A log whose user is gone still shows, without a user name.
    QCOMPARE(rows, (QStringList { u"newest/"_s, u"middle/admin"_s, u"oldest/admin"_s }));
}

void TestAudit::logsPage_data()
{
    QTest::addColumn<int>("userId");
    QTest::addColumn<QString>("entity");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("total");
    QTest::newRow("first page, newest first")
        << 0 << QString() << QString() << QString() << 0 << QStringList { u"e"_s, u"d"_s } << 5;
    QTest::newRow("second page") << 0 << QString() << QString() << QString() << 2
                                 << QStringList { u"c"_s, u"b"_s } << 5;
    QTest::newRow("last, short page")
        << 0 << QString() << QString() << QString() << 4 << QStringList { u"a"_s } << 5;
    QTest::newRow("one user") << 2 << QString() << QString() << QString() << 0
                              << QStringList { u"d"_s, u"b"_s } << 2;
    QTest::newRow("one entity") << 0 << u"tenants"_s << QString() << QString() << 0
                                << QStringList { u"e"_s, u"c"_s } << 3;
    QTest::newRow("the end date counts whole")
        << 0 << QString() << u"2024-03-02"_s << u"2024-03-03"_s << 0
        << QStringList { u"d"_s, u"c"_s } << 2;
    QTest::newRow("all filters") << 1 << u"tenants"_s << u"2024-03-01"_s << u"2024-03-05"_s << 0
                                 << QStringList { u"e"_s, u"c"_s } << 3;
}

void TestAudit::logsPage()
{
    QFETCH(int, userId);
    QFETCH(QString, entity);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, offset);
    QFETCH(QStringList, actions);
    QFETCH(int, total);
    TestFixture f;
    AuditManager audit(f.db());
    const QString sql = u"INSERT INTO audit_logs (user_id, action, table_name, created_at) "
                        "VALUES (?,?,?,?)"_s;
    f.insert(sql, { 1, u"a"_s, u"tenants"_s, u"2024-03-01 08:00:00"_s });
    f.insert(sql, { 2, u"b"_s, u"units"_s, u"2024-03-01 23:59:59"_s });
    f.insert(sql, { 2, u"d"_s, u"invoices"_s, u"2024-03-03 23:30:00"_s });
    f.insert(sql, { 1, u"e"_s, u"tenants"_s, u"2024-03-04 10:00:00"_s });
    // Inserted last but earlier in time: the order is by time, not by insertion.
    f.insert(sql, { 1, u"c"_s, u"tenants"_s, u"2024-03-02 00:00:00"_s });

    QStringList got;
    for (const QVariant &row : audit.getLogsPage(userId, entity, from, to, offset, 2))
        got << row.toMap().value(u"action"_s).toString();
    QCOMPARE(got, actions);
    QCOMPARE(audit.countLogs(userId, entity, from, to), total);
}

QTEST_GUILESS_MAIN(TestAudit)
#include "tst_audit.moc"
