#include "contractmodel.h"
#include "invoicemodel.h"
#include "money.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRenewals : public QObject
{
    Q_OBJECT

private slots:
    void renew_data();
    void renew();
    void chainOfRenewals();
};

void TestRenewals::renew_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("change");
    QTest::addColumn<int>("endOffsetDays");
    QTest::addColumn<double>("topUp");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("laterLease");
    QTest::addColumn<qint64>("rentCents");
    // The old lease ends in 20 days at 1000 with 500 deposit; -1 rent cents: refused.
    QTest::newRow("by a percentage")
        << u"percent"_s << 7.5 << 365 << 0.0 << u"active"_s << false << qint64(107500);
    QTest::newRow("by an amount with a deposit top-up")
        << u"amount"_s << 150.0 << 365 << 250.0 << u"active"_s << false << qint64(115000);
    QTest::newRow("new end before the new start")
        << u"amount"_s << 0.0 << 0 << 0.0 << u"active"_s << false << qint64(-1);
    QTest::newRow("a single day is a lease")
        << u"amount"_s << 0.0 << 1 << 0.0 << u"active"_s << false << qint64(100000);
    QTest::newRow("overlaps a later lease of the unit")
        << u"percent"_s << 5.0 << 365 << 0.0 << u"active"_s << true << qint64(-1);
    QTest::newRow("a terminated lease is not renewed")
        << u"percent"_s << 5.0 << 365 << 0.0 << u"terminated"_s << false << qint64(-1);
    QTest::newRow("negative top-up")
        << u"amount"_s << 0.0 << 365 << -10.0 << u"active"_s << false << qint64(-1);
}

void TestRenewals::renew()
{
    QFETCH(QString, mode);
    QFETCH(double, change);
    QFETCH(int, endOffsetDays);
    QFETCH(double, topUp);
    QFETCH(QString, status);
    QFETCH(bool, laterLease);
    QFETCH(qint64, rentCents);
    TestFixture f;
    ContractModel contracts(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"101"_s, 1000, u"rented"_s);
    const int tenant = f.addTenant(u"سامي"_s, u"900"_s);
    const QDate end = TestFixture::today().addDays(20);
    const int lease = f.addLease(unit, tenant, end.addYears(-1).addDays(1), end, 1000, status);
    f.db()->execNonQuery(u"UPDATE contracts SET deposit=500 WHERE id=?"_s, { lease });
    if (laterLease)
        f.addLease(
            unit, f.addTenant(u"مازن"_s, u"901"_s), end.addMonths(6), end.addMonths(18), 900);
    const int before = f.count(u"contracts"_s);
    QSignalSpy changed(&contracts, &ContractModel::dataChanged);

    const double rent = contracts.renewedRent(lease, mode, change);
    const int renewed
        = contracts.renew(lease, TestFixture::iso(end.addDays(endOffsetDays)), rent, topUp);

    if (rentCents < 0) {
        QCOMPARE(renewed, -1);
        QVERIFY(!contracts.lastRefusal().isEmpty());
        QCOMPARE(f.count(u"contracts"_s), before);
        QCOMPARE(
            f.scalar(u"SELECT status FROM contracts WHERE id=?"_s, { lease }).toString(), status);
        QCOMPARE(changed.count(), 0);
        return;
    }
    QVERIFY(renewed > 0);
    QCOMPARE(Money::cents(rent), rentCents);
    QCOMPARE(
        f.scalar(u"SELECT status FROM contracts WHERE id=?"_s, { lease }).toString(), u"renewed"_s);
    QCOMPARE(f.scalar(u"SELECT start_date FROM contracts WHERE id=?"_s, { renewed }).toString(),
        TestFixture::iso(end.addDays(1)));
    QCOMPARE(
        f.scalar(u"SELECT renewed_from FROM contracts WHERE id=?"_s, { renewed }).toInt(), lease);
    QCOMPARE(Money::cents(
                 f.scalar(u"SELECT deposit FROM contracts WHERE id=?"_s, { renewed }).toDouble()),
        Money::cents(500 + topUp));
    // Only the new lease counts as active.
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM contracts WHERE tenant_id=? AND status='active'"_s,
                  { tenant })
                 .toInt(),
        1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(contracts.renew(lease, TestFixture::iso(end.addYears(2)), rent, 0), -1);
}

// Renewed twice: the chain reads the same from any of its leases, and a month billed once.
void TestRenewals::chainOfRenewals()
{
    TestFixture f;
    ContractModel contracts(f.db());
    InvoiceModel invoices(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"101"_s, 1000, u"rented"_s);
    const int tenant = f.addTenant(u"سامي"_s, u"900"_s);
    const QDate today = TestFixture::today();
    const int first = f.addLease(unit, tenant, today.addYears(-2), today.addYears(-1), 800);
    const int second = contracts.renew(first, TestFixture::iso(today.addDays(10)), 900, 0);
    QVERIFY(second > 0);
    const int third = contracts.renew(second, TestFixture::iso(today.addYears(1)), 1000, 0);
    QVERIFY(third > 0);

    for (const int id : { first, second, third }) {
        const QVariantList chain = contracts.renewalChain(id);
        QCOMPARE(chain.size(), 3);
        QCOMPARE(chain.at(0).toMap().value(u"id"_s).toInt(), first);
        QCOMPARE(chain.at(2).toMap().value(u"id"_s).toInt(), third);
        QCOMPARE(chain.at(1).toMap().value(u"rent_amount"_s).toDouble(), 900.0);
        QCOMPARE(chain.at(2).toMap().value(u"status"_s).toString(), u"active"_s);
    }
    QCOMPARE(invoices.generateAllRent(today.addMonths(1).toString(u"yyyy-MM"_s)), 1);
}

QTEST_GUILESS_MAIN(TestRenewals)
#include "tst_renewals.moc"
