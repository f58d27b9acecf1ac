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
    void nothingToReport();
    void installments_data();
    void installments();
    void cheques_data();
    void cheques();
    void contracts_data();
    void contracts();
    void kindsInOrderAndCount();
};

void TestAlerts::nothingToReport()
{
    TestFixture f;
    NotificationController alerts(f.db());
    QVERIFY(alerts.getActiveAlerts().isEmpty());
    QCOMPARE(alerts.getAlertCount(), 0);
}

void TestAlerts::installments_data()
{
    QTest::addColumn<int>("dueOffset");
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QVariantList>("expected");
    const auto due = [](const QString &amount) {
        return QVariantList { QVariantMap { { u"type"_s, u"payment_due"_s },
            { u"title"_s, u"دفعة مستحقة (اليوم/أمس): خالد"_s },
            { u"detail"_s, u"الوحدة: B7 - المبلغ: "_s + amount + u" ₪"_s },
            { u"severity"_s, u"high"_s } } };
    };
    const auto overdue = [](int offset) {
        return QVariantList { QVariantMap { { u"type"_s, u"overdue"_s },
            { u"title"_s, u"قسط متأخر جداً: خالد"_s },
            { u"detail"_s, u"استحق في: "_s + day(offset) }, { u"severity"_s, u"critical"_s } } };
    };
    QTest::newRow("due today") << 0 << u"pending"_s << 3000.0 << due(u"3000"_s);
    QTest::newRow("due yesterday") << -1 << u"partial"_s << 333.33 << due(u"333.33"_s);
    QTest::newRow("two days late") << -2 << u"pending"_s << 3000.0 << overdue(-2);
    QTest::newRow("long late and partial") << -90 << u"partial"_s << 3000.0 << overdue(-90);
    QTest::newRow("due tomorrow") << 1 << u"pending"_s << 3000.0 << QVariantList {};
    QTest::newRow("paid yesterday") << -1 << u"paid"_s << 3000.0 << QVariantList {};
    QTest::newRow("paid long ago") << -30 << u"paid"_s << 3000.0 << QVariantList {};
}

void TestAlerts::installments()
{
    QFETCH(int, dueOffset);
    QFETCH(QString, status);
    QFETCH(double, amount);
    QFETCH(QVariantList, expected);
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"B7"_s, 0, u"sold"_s);
    f.addInstallment(
        f.addBuyer(u"خالد"_s), unit, amount, TestFixture::today().addDays(dueOffset), 0, status);
    NotificationController alerts(f.db());
    QCOMPARE(alerts.getActiveAlerts(), expected);
    QCOMPARE(alerts.getAlertCount(), expected.size());
}

void TestAlerts::cheques_data()
{
    QTest::addColumn<int>("dueOffset");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("alerted");
    QTest::newRow("due in seven days") << 7 << u"pending"_s << u"received"_s << true;
    QTest::newRow("due in eight days") << 8 << u"pending"_s << u"received"_s << false;
    QTest::newRow("three weeks past due") << -21 << u"pending"_s << u"received"_s << true;
    QTest::newRow("issued cheque") << 2 << u"pending"_s << u"issued"_s << true;
    QTest::newRow("paid") << 2 << u"paid"_s << u"received"_s << false;
    QTest::newRow("bounced") << -2 << u"bounced"_s << u"received"_s << false;
}

void TestAlerts::cheques()
{
    QFETCH(int, dueOffset);
    QFETCH(QString, status);
    QFETCH(QString, type);
    QFETCH(bool, alerted);
    TestFixture f;
    f.addCheque(u"CH-77"_s, 1500.5, TestFixture::today().addDays(dueOffset), status, type);
    NotificationController alerts(f.db());
    const QVariantList list = alerts.getActiveAlerts();
    QCOMPARE(list.size(), alerted ? 1 : 0);
    if (alerted) {
        QCOMPARE(list.first().toMap(),
            (QVariantMap { { u"type"_s, u"cheque"_s }, { u"title"_s, u"شيك مستحق خلال أسبوع"_s },
                { u"detail"_s, u"رقم: CH-77 - مبلغ: 1500.5"_s }, { u"severity"_s, u"medium"_s } }));
    }
}

void TestAlerts::contracts_data()
{
    QTest::addColumn<int>("endOffset");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("alerted");
    QTest::newRow("ends in thirty days") << 30 << u"active"_s << true;
    QTest::newRow("ends in thirty-one days") << 31 << u"active"_s << false;
    QTest::newRow("ended last month, still active") << -30 << u"active"_s << true;
    QTest::newRow("terminated") << 10 << u"terminated"_s << false;
}

void TestAlerts::contracts()
{
    QFETCH(int, endOffset);
    QFETCH(QString, status);
    QFETCH(bool, alerted);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"A1"_s, 1000, u"rented"_s);
    f.addLease(
        unit, f.addTenant(u"سامي"_s), today.addYears(-1), today.addDays(endOffset), 1000, status);
    NotificationController alerts(f.db());
    const QVariantList list = alerts.getActiveAlerts();
    QCOMPARE(list.size(), alerted ? 1 : 0);
    if (alerted) {
        QCOMPARE(list.first().toMap(),
            (QVariantMap { { u"type"_s, u"contract"_s }, { u"title"_s, u"عقد ينتهي قريباً: سامي"_s },
                { u"detail"_s, u"تاريخ الانتهاء: "_s + day(endOffset) },
                { u"severity"_s, u"low"_s } }));
    }
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
    QCOMPARE(field(list, u"severity"_s),
        (QStringList { u"high"_s, u"high"_s, u"critical"_s, u"medium"_s, u"low"_s }));
    QCOMPARE(alerts.getAlertCount(), 5);
    alerts.markAsRead(1);
    alerts.markAsRead(-3);
    QCOMPARE(alerts.getActiveAlerts(), list);
}

QTEST_GUILESS_MAIN(TestAlerts)
#include "tst_alerts.moc"
