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

QTEST_GUILESS_MAIN(TestAudit)
#include "tst_audit.moc"
