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
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount"); // installments: amount; cheques: 1 when issued
    QTest::addColumn<QVariantList>("expected");
    const auto alert = [](const QString &type, const QString &title, const QString &detail,
                           const QString &severity) {
        return QVariantList { QVariantMap { { u"type"_s, type }, { u"title"_s, title },
            { u"detail"_s, detail }, { u"severity"_s, severity } } };
    };
    const auto due = [&](const QString &amount) {
        return alert(u"payment_due"_s, u"دفعة مستحقة (اليوم/أمس): خالد"_s,
            u"الوحدة: B7 - المبلغ: "_s + amount + u" ₪"_s, u"high"_s);
    };
    const auto overdue = [&](int offset) {
        return alert(
            u"overdue"_s, u"قسط متأخر جداً: خالد"_s, u"استحق في: "_s + day(offset), u"critical"_s);
    };
    const QVariantList cheque = alert(
        u"cheque"_s, u"شيك مستحق خلال أسبوع"_s, u"رقم: CH-77 - مبلغ: 1500.5"_s, u"medium"_s);
    const auto contract = [&](int offset) {
        return alert(u"contract"_s, u"عقد ينتهي قريباً: سامي"_s, u"تاريخ الانتهاء: "_s + day(offset),
            u"low"_s);
    };
    const QString installment = u"installment"_s;
    QTest::newRow("nothing to report") << QString() << 0 << QString() << 0.0 << QVariantList {};
    QTest::newRow("installment due today")
        << installment << 0 << u"pending"_s << 3000.0 << due(u"3000"_s);
    QTest::newRow("installment due yesterday")
        << installment << -1 << u"partial"_s << 333.33 << due(u"333.33"_s);
    QTest::newRow("installment two days late")
        << installment << -2 << u"pending"_s << 3000.0 << overdue(-2);
    QTest::newRow("installment due tomorrow")
        << installment << 1 << u"pending"_s << 3000.0 << QVariantList {};
    QTest::newRow("installment paid yesterday")
        << installment << -1 << u"paid"_s << 3000.0 << QVariantList {};
    QTest::newRow("cheque due in seven days") << u"cheque"_s << 7 << u"pending"_s << 0.0 << cheque;
    QTest::newRow("cheque due in eight days")
        << u"cheque"_s << 8 << u"pending"_s << 0.0 << QVariantList {};
    QTest::newRow("cheque three weeks past due")
        << u"cheque"_s << -21 << u"pending"_s << 0.0 << cheque;
    QTest::newRow("issued cheque") << u"cheque"_s << 2 << u"pending"_s << 1.0 << cheque;
    QTest::newRow("paid cheque") << u"cheque"_s << 2 << u"paid"_s << 0.0 << QVariantList {};
    QTest::newRow("lease ends in thirty days")
        << u"lease"_s << 30 << u"active"_s << 0.0 << contract(30);
    QTest::newRow("lease ends in thirty-one days")
        << u"lease"_s << 31 << u"active"_s << 0.0 << QVariantList {};
    QTest::newRow("lease ended last month, still active")
        << u"lease"_s << -30 << u"active"_s << 0.0 << contract(-30);
    QTest::newRow("terminated lease")
        << u"lease"_s << 10 << u"terminated"_s << 0.0 << QVariantList {};
}

void TestAlerts::oneItem()
{
    QFETCH(QString, kind);
    QFETCH(int, offset);
    QFETCH(QString, status);
    QFETCH(double, amount);
    QFETCH(QVariantList, expected);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"B7"_s, 0, u"sold"_s);
    if (kind == u"installment"_s) {
        f.addInstallment(f.addBuyer(u"خالد"_s), unit, amount, today.addDays(offset), 0, status);
    } else if (kind == u"cheque"_s) {
        f.addCheque(u"CH-77"_s, 1500.5, today.addDays(offset), status,
            amount > 0 ? u"issued"_s : u"received"_s);
    } else if (kind == u"lease"_s) {
        f.addLease(
            unit, f.addTenant(u"سامي"_s), today.addYears(-1), today.addDays(offset), 1000, status);
    }
    NotificationController alerts(f.db());
    QCOMPARE(alerts.getActiveAlerts(), expected);
    QCOMPARE(alerts.getAlertCount(), expected.size());
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
