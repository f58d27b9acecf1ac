#include "reportcontroller.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

static void addUnits(TestFixture &f, int count, const QString &status)
{
    static int serial = 0;
    const int property = f.addProperty(u"عقار %1"_s.arg(++serial));
    for (int i = 0; i < count; ++i)
        f.addUnit(property, QString::number(i), 1000, status);
}

static QString analysisText(TestFixture &f)
{
    return ReportController(f.db()).getSmartAIAnalysis().value(u"text"_s).toString();
}

static const QString growthAdvice
    = u"هناك مساحة كبيرة للنمو، يُنصح بتكثيف النشاط التسويقي للوحدات المتاحة."_s;
static const QString healthy = u"المحفظة في حالة صحية جيدة جداً من حيث الإشغال."_s;

class TestInsights : public QObject
{
    Q_OBJECT

private slots:
    void occupancy_data();
    void occupancy();
    void overdueInvoiceCard_data();
    void overdueInvoiceCard();
    void installmentsAndCheques();
    void analysisMargin_data();
    void analysisMargin();
};

void TestInsights::occupancy_data()
{
    QTest::addColumn<int>("rented");
    QTest::addColumn<int>("sold");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("advice");
    // The card counts rented units only; the analysis counts sold units too.
    QTest::newRow("90% is excellent") << 9 << 0 << u"✅"_s << healthy;
    QTest::newRow("exactly 80 is not above 80") << 8 << 0 << u"⚠️"_s << healthy;
    QTest::newRow("60% warns") << 6 << 0 << u"⚠️"_s << growthAdvice;
    QTest::newRow("exactly 50 is not above 50") << 5 << 0 << u"🔴"_s << growthAdvice;
    QTest::newRow("exactly 70 with sold units is healthy") << 4 << 3 << u"🔴"_s << healthy;
    QTest::newRow("60 with sold units asks for growth") << 3 << 3 << u"🔴"_s << growthAdvice;
}

void TestInsights::occupancy()
{
    QFETCH(int, rented);
    QFETCH(int, sold);
    QFETCH(QString, icon);
    QFETCH(QString, advice);
    TestFixture f;
    addUnits(f, rented, u"rented"_s);
    addUnits(f, sold, u"sold"_s);
    addUnits(f, 10 - rented - sold, u"available"_s);
    ReportController reports(f.db());
    const QVariantMap card = reports.getAIInsights().first().toMap();
    QCOMPARE(card.value(u"icon"_s).toString(), icon);
    QVERIFY(card.value(u"description"_s)
                .toString()
                .startsWith(u"نسبة الإشغال %1% (%2/10 وحدة)"_s.arg(rented * 10).arg(rented)));
    QCOMPARE(reports.getSmartAIAnalysis().value(u"occupancy"_s).toDouble(), (rented + sold) * 10.0);
    QVERIFY(analysisText(f).contains(advice));
}

void TestInsights::overdueInvoiceCard_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("description");
    QTest::newRow("999 is fine") << 999.0 << u"✅"_s << u"إجمالي المتأخرات: 999 ₪"_s;
    QTest::newRow("1000 is alarming") << 1000.0 << u"🔴"_s << u"إجمالي المتأخرات: 1000 ₪"_s;
    QTest::newRow("whole format rounds") << 1234.6 << u"🔴"_s << u"إجمالي المتأخرات: 1235 ₪"_s;
}

void TestInsights::overdueInvoiceCard()
{
    QFETCH(double, balance);
    QFETCH(QString, icon);
    QFETCH(QString, description);
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const auto invoice = [&](double total, const QString &status, const QString &due) {
        const int id = f.addInvoice(tenant, 0, u"2024-01"_s, total, status);
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE invoices SET due_date=date('now', ?) WHERE id=?"_s, { due, id }));
    };
    invoice(balance - 200, u"pending"_s, u"-1 day"_s);
    invoice(200, u"partial"_s, u"-40 days"_s);
    invoice(5000, u"paid"_s, u"-3 days"_s);
    invoice(5000, u"void"_s, u"-3 days"_s);
    invoice(5000, u"pending"_s, u"+0 days"_s); // due today is not late
    const QVariantMap card = ReportController(f.db()).getAIInsights().at(1).toMap();
    QCOMPARE(card.value(u"icon"_s).toString(), icon);
    QCOMPARE(card.value(u"description"_s).toString(), description);
}

void TestInsights::installmentsAndCheques()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-1), 250.4, u"partial"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-60));
    f.addInstallment(buyer, unit, 1000, today.addDays(-2), 1000, u"paid"_s);
    f.addInstallment(buyer, unit, 1000, today);
    f.addCheque(u"1"_s, 1500, today.addDays(-5)); // past due still counts
    f.addCheque(u"2"_s, 700.6, today.addDays(7), u"pending"_s, u"issued"_s);
    f.addCheque(u"3"_s, 100, today.addDays(3));
    f.addCheque(u"4"_s, 9000, today.addDays(8));
    f.addCheque(u"5"_s, 9000, today, u"bounced"_s);
    f.addCheque(u"6"_s, 9000, today, u"paid"_s);

    const QVariantList cards = ReportController(f.db()).getAIInsights();
    QCOMPARE(cards.size(), 4);
    QCOMPARE(cards.at(2).toMap().value(u"description"_s).toString(), u"2 قسط متأخر بقيمة 1750 ₪"_s);
    QCOMPARE(cards.at(3).toMap().value(u"description"_s).toString(),
        u"3 شيك مستحق خلال 7 أيام بقيمة 2301"_s);
    const QString text = analysisText(f);
    QVERIFY2(text.contains(u"**2** دفعات متأخرة"_s), qPrintable(text));
    QVERIFY2(text.contains(u"**3** شيكات تستحق"_s), qPrintable(text));
}

void TestInsights::analysisMargin_data()
{
    QTest::addColumn<double>("revenue");
    QTest::addColumn<double>("expenses");
    QTest::addColumn<QString>("finances");
    const QString praise = u"هذا المؤشر ممتاز ويدل على كفاءة تشغيلية عالية."_s;
    const QString advice = u"يُنصح بمراجعة المصاريف التشغيلية لزيادة هامش الربح."_s;
    const auto line = [](const QString &revenue, const QString &margin) {
        return u"قدرها **%1 ₪**. بهامش ربح صافي يقدر بـ **%2%**. "_s.arg(revenue, margin);
    };
    QTest::newRow("margin exactly 30 gets advice")
        << 10000.0 << 7000.0 << line(u"10000"_s, u"30.0"_s) + advice;
    QTest::newRow("margin 31 gets praise")
        << 10000.0 << 6900.0 << line(u"10000"_s, u"31.0"_s) + praise;
    QTest::newRow("loss") << 15000.0 << 25000.0 << line(u"15000"_s, u"-66.7"_s) + advice;
    QTest::newRow("expenses only")
        << 0.0 << 500.0 << u"لا توجد بيانات مالية كافية لتحليل الإيرادات حالياً."_s;
}

void TestInsights::analysisMargin()
{
    QFETCH(double, revenue);
    QFETCH(double, expenses);
    QFETCH(QString, finances);
    TestFixture f;
    const QDate today = TestFixture::today();
    // Figures cover the whole history, not a period.
    if (revenue > 0) {
        f.addPayment(0, 0, revenue / 2, today.addYears(-3));
        f.addPayment(0, 0, revenue / 2, today);
    }
    f.addExpense(f.addProperty(), 0, expenses, today.addYears(-2));
    const QString text = analysisText(f);
    QVERIFY2(text.contains(finances), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestInsights)
#include "tst_insights.moc"
