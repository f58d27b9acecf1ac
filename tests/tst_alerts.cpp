#include "notificationcontroller.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Alerts follow the local calendar, so every date here is relative to the local today.
static QString day(int offset) { return TestFixture::iso(TestFixture::today().addDays(offset)); }

static QStringList field(const QVariantList &alerts, const QString &key)
{
    QStringList values;
    for (const QVariant &alert : alerts)
        values << alert.toMap().value(key).toString();
    return values;
}

class TestAlerts : public QObject
{
    Q_OBJECT

private slots:
    void oneItem_data();
    void oneItem();
    void kindsInOrderAndCount();
};

void TestAlerts::oneItem_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QStringList>("expected"); // type, detail; empty when nothing is due
    const QStringList due { u"payment_due"_s, u"الوحدة: B7 - المبلغ: 333.33 ₪"_s };
    const QStringList cheque { u"cheque"_s, u"رقم: CH-77 - مبلغ: 1500.5"_s };
    const QString installment = u"installment"_s;
    QTest::newRow("installment due today") << installment << 0 << due;
    QTest::newRow("installment due yesterday") << installment << -1 << due;
    QTest::newRow("installment two days late")
        << installment << -2 << QStringList { u"overdue"_s, u"استحق في: "_s + day(-2) };
    QTest::newRow("installment due tomorrow") << installment << 1 << QStringList {};
    QTest::newRow("cheque due in seven days") << u"cheque"_s << 7 << cheque;
    QTest::newRow("cheque due in eight days") << u"cheque"_s << 8 << QStringList {};
    QTest::newRow("cheque a day past and still in the drawer")
        << u"cheque"_s << -1
        << QStringList { u"cheque_overdue"_s,
               u"رقم: CH-77 - مبلغ: 1500.5 - استحق في: "_s + day(-1) };
    QTest::newRow("lease ends in thirty days")
        << u"lease"_s << 30 << QStringList { u"contract"_s, u"تاريخ الانتهاء: "_s + day(30) };
    QTest::newRow("lease ends in thirty-one days") << u"lease"_s << 31 << QStringList {};
}

void TestAlerts::oneItem()
{
    QFETCH(QString, kind);
    QFETCH(int, offset);
    QFETCH(QStringList, expected);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"B7"_s, 0, u"sold"_s);
    if (kind == u"installment"_s)
        f.addInstallment(f.addBuyer(u"خالد"_s), unit, 333.33, today.addDays(offset));
    else if (kind == u"cheque"_s)
        f.addCheque(u"CH-77"_s, 1500.5, today.addDays(offset));
    else
        f.addLease(unit, f.addTenant(u"سامي"_s), today.addYears(-1), today.addDays(offset), 1000);
    NotificationController alerts(f.db());
    const QVariantList list = alerts.getActiveAlerts();
    QCOMPARE(field(list, u"type"_s) + field(list, u"detail"_s), expected);
    QCOMPARE(alerts.getAlertCount(), list.size());
}

void TestAlerts::kindsInOrderAndCount()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"A1"_s, 1000, u"rented"_s);
    f.addLease(unit, f.addTenant(u"سامي"_s), today.addYears(-1), today.addDays(3), 1000);
    f.addCheque(u"1"_s, 100, today);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 500, today.addDays(-5));
    f.addInstallment(buyer, unit, 500, today);
    f.addInstallment(buyer, unit, 500, today.addDays(-1));

    NotificationController alerts(f.db());
    const QVariantList list = alerts.getActiveAlerts();
    QCOMPARE(field(list, u"type"_s),
        (QStringList {
            u"payment_due"_s, u"payment_due"_s, u"overdue"_s, u"cheque"_s, u"contract"_s }));
    alerts.markAsRead(1);
    alerts.markAsRead(-3);
    QCOMPARE(alerts.getActiveAlerts(), list);
}

QTEST_GUILESS_MAIN(TestAlerts)
#include "tst_alerts.moc"
