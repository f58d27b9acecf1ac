#include "auditmanager.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAudit : public QObject
{
    Q_OBJECT

private slots:
    void getLogsLimit_data();
    void getLogsLimit();
    void getLogsNewestFirstWithUser();
};

void TestAudit::getLogsLimit_data()
{
    QTest::addColumn<int>("limit"); // 0: the default
    QTest::addColumn<int>("rows");
    QTest::newRow("default is 100") << 0 << 100;
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
    QCOMPARE((limit == 0 ? audit.getLogs() : audit.getLogs(limit)).size(), rows);
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
    QStringList actions;
    for (const QVariant &row : logs)
        actions << row.toMap().value(u"action"_s).toString();
    QCOMPARE(actions, (QStringList { u"newest"_s, u"middle"_s, u"oldest"_s }));
    QVERIFY(logs.at(0).toMap().value(u"username"_s).isNull());
    QCOMPARE(logs.at(1).toMap().value(u"username"_s).toString(), u"admin"_s);
}

QTEST_GUILESS_MAIN(TestAudit)
#include "tst_audit.moc"
