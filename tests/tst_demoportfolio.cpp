#include "appobjects.h"
#include "demodata.h"
#include "money.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString periodOf(int monthsAhead)
{
    return QDate::currentDate().addMonths(monthsAhead).toString(u"yyyy-MM"_s);
}

// Each tenant owes exactly its open invoices; each lease has at most one rent invoice a month,
// and exactly one for every run month it covers.
QStringList brokenInvariants(Database *db, const QStringList &runMonths)
{
    QStringList broken;
    const QVariantList tenants
        = db->execQuery(u"SELECT t.id, t.balance, (SELECT COALESCE(SUM(i.balance), 0) "
                        "FROM invoices i WHERE i.tenant_id=t.id AND i.status!='void') as open "
                        "FROM tenants t"_s);
    for (const QVariant &row : tenants) {
        const QVariantMap tenant = row.toMap();
        if (!Money::equal(
                tenant.value(u"balance"_s).toDouble(), tenant.value(u"open"_s).toDouble()))
            broken << u"tenant %1 owes %2 against open invoices of %3"_s.arg(
                tenant.value(u"id"_s).toString(), tenant.value(u"balance"_s).toString(),
                tenant.value(u"open"_s).toString());
    }
    for (const QString &month : runMonths) {
        const QDate first = QDate::fromString(month + u"-01"_s, Qt::ISODate);
        const QDate last = first.addMonths(1).addDays(-1);
        const QVariantList rows = db->execQuery(
            u"SELECT c.id, c.start_date, c.end_date, (SELECT COUNT(*) FROM invoices i "
            "WHERE i.contract_id=c.id AND i.period=? AND i.status!='void') as billed "
            "FROM contracts c WHERE c.status='active'"_s,
            { month });
        for (const QVariant &row : rows) {
            const QVariantMap lease = row.toMap();
            const bool covers
                = QDate::fromString(lease.value(u"start_date"_s).toString(), Qt::ISODate) <= last
                && QDate::fromString(lease.value(u"end_date"_s).toString(), Qt::ISODate) >= first;
            const int billed = lease.value(u"billed"_s).toInt();
            if (billed != (covers ? 1 : 0))
                broken << u"lease %1 has %2 rent invoices for %3"_s.arg(
                    lease.value(u"id"_s).toString(), QString::number(billed), month);
        }
    }
    return broken;
}

} // namespace

class TestDemoPortfolio : public QObject
{
    Q_OBJECT

private slots:
    void invariantsHoldAfterEveryRun_data();
    void invariantsHoldAfterEveryRun();
};

void TestDemoPortfolio::invariantsHoldAfterEveryRun_data()
{
    QTest::addColumn<QString>("then");
    QTest::newRow("after the sample portfolio is filled") << QString();
    QTest::newRow("after every month is run again") << u"rerun"_s;
    QTest::newRow("after next month's run, prorated") << u"prorated"_s;
    QTest::newRow("after voiding, reversing and running again") << u"void"_s;
}

void TestDemoPortfolio::invariantsHoldAfterEveryRun()
{
    QFETCH(QString, then);
    TestFixture f;
    AppObjects o(f.db(), f.dataDir());
    DemoData::fill(f.db());
    QStringList months { periodOf(-3), periodOf(-2), periodOf(-1), periodOf(0) };

    if (then == u"rerun"_s) {
        for (const QString &month : months)
            QCOMPARE(o.invoiceModel.generateAllRent(month), 0);
    } else if (then == u"prorated"_s) {
        QVERIFY(o.settingsManager.setProrateRent(true));
        months << periodOf(1);
        QVERIFY(o.invoiceModel.generateAllRent(periodOf(1)) > 0);
        QVERIFY(!o.invoiceModel.lastRunReport().value(u"skipped"_s).toList().isEmpty());
    } else if (then == u"void"_s) {
        // A paid rent invoice and an open one, both voided, then billed again by the run.
        const QVariantMap paid = Database::firstRow(f.db()->execQuery(
            u"SELECT id, period FROM invoices WHERE status='paid' AND contract_id IS NOT NULL "
            "ORDER BY id LIMIT 1"_s));
        const QVariantMap open = Database::firstRow(f.db()->execQuery(
            u"SELECT id, period FROM invoices WHERE status='pending' AND contract_id IS NOT NULL "
            "ORDER BY id DESC LIMIT 1"_s));
        QVERIFY(!paid.isEmpty() && !open.isEmpty());
        for (const QVariant &row : f.db()->execQuery(
                 u"SELECT id FROM payments WHERE invoice_id=?"_s, { paid.value(u"id"_s) }))
            QVERIFY(o.paymentModel.reverse(row.toMap().value(u"id"_s).toInt(), u"خطأ"_s) > 0);
        QVERIFY(o.invoiceModel.voidInvoice(paid.value(u"id"_s).toInt(), u"مكررة"_s));
        QVERIFY(o.invoiceModel.voidInvoice(open.value(u"id"_s).toInt(), u"مكررة"_s));
        int rebilled = 0;
        for (const QString &month : months)
            rebilled += o.invoiceModel.generateAllRent(month);
        QCOMPARE(rebilled, 2);
    }
    QCOMPARE(brokenInvariants(f.db(), months), QStringList());
}

QTEST_MAIN(TestDemoPortfolio)
#include "tst_demoportfolio.moc"
