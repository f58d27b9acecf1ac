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

class TestInsights : public QObject
{
    Q_OBJECT

private slots:
    void occupancy_data();
    void occupancy();
    void overdueInvoiceCard();
    void installmentsAndCheques();
    void analysisMargin();
};

void TestInsights::occupancy_data()
{
    QTest::addColumn<int>("rented");
    QTest::addColumn<int>("sold");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("healthy");
    // Sold units cannot be rented: they leave the count on the card and in the analysis alike.
    QTest::newRow("exactly 80 is not above 80") << 8 << 0 << u"⚠️"_s << true;
    QTest::newRow("exactly 50 is not above 50") << 5 << 0 << u"🔴"_s << false;
    QTest::newRow("sold units leave the count") << 4 << 3 << u"⚠️"_s << false;
}

void TestInsights::occupancy()
{
    QFETCH(int, rented);
    QFETCH(int, sold);
    QFETCH(QString, icon);
    QFETCH(bool, healthy);
    TestFixture f;
    addUnits(f, rented, u"rented"_s);
    addUnits(f, sold, u"sold"_s);
    addUnits(f, 10 - rented - sold, u"available"_s);
    ReportController reports(f.db());
    const QVariantMap card = reports.getAIInsights().first().toMap();
    QCOMPARE(card.value(u"icon"_s).toString(), icon);
    const double rate = rented * 100.0 / (10 - sold);
    QVERIFY(card.value(u"description"_s)
                .toString()
                .startsWith(u"نسبة الإشغال %1% (%2/%3 وحدة)"_s.arg(QString::number(rate, 'f', 0))
                                .arg(rented)
                                .arg(10 - sold)));
    QCOMPARE(reports.getSmartAIAnalysis().value(u"occupancy"_s).toDouble(), rate);
    const QString text = analysisText(f);
    QCOMPARE(text.contains(u"في حالة صحية جيدة"_s), healthy);
    QCOMPARE(text.contains(u"مساحة كبيرة للنمو"_s), !healthy);
}

void TestInsights::overdueInvoiceCard()
{
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const auto invoice = [&](double total, const QString &status, const QString &due) {
        const int id = f.addInvoice(tenant, 0, u"2024-01"_s, total, status);
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE invoices SET due_date=date('now', ?) WHERE id=?"_s, { due, id }));
    };
    const auto card = [&] { return ReportController(f.db()).getAIInsights().at(1).toMap(); };
    invoice(799, u"pending"_s, u"-1 day"_s);
    invoice(200, u"partial"_s, u"-40 days"_s);
    invoice(5000, u"paid"_s, u"-3 days"_s);
    invoice(5000, u"void"_s, u"-3 days"_s);
    invoice(5000, u"pending"_s, u"+0 days"_s); // due today is not late
    QCOMPARE(card().value(u"icon"_s).toString(), u"✅"_s);
    QCOMPARE(card().value(u"description"_s).toString(), u"إجمالي المتأخرات: 999.00 ₪"_s);
    invoice(1, u"pending"_s, u"-1 day"_s); // 1000 is alarming
    QCOMPARE(card().value(u"icon"_s).toString(), u"🔴"_s);
}

void TestInsights::installmentsAndCheques()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-1), 250.4, u"partial"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-60));
    f.addInstallment(buyer, unit, 1000, today);
    f.addCheque(u"1"_s, 1500, today.addDays(-5)); // past due still counts
    f.addCheque(u"2"_s, 700.6, today.addDays(7), u"pending"_s, u"issued"_s);
    f.addCheque(u"3"_s, 100, today.addDays(3));
    f.addCheque(u"4"_s, 9000, today.addDays(8));
    f.addCheque(u"5"_s, 9000, today, u"paid"_s);

    const QVariantList cards = ReportController(f.db()).getAIInsights();
    QCOMPARE(cards.size(), 4);
    QCOMPARE(
        cards.at(2).toMap().value(u"description"_s).toString(), u"2 قسط متأخر بقيمة 1,749.60 ₪"_s);
    QCOMPARE(cards.at(3).toMap().value(u"description"_s).toString(),
        u"3 شيك مستحق خلال 7 أيام بقيمة 2,300.60"_s);
    const QString text = analysisText(f);
    QVERIFY2(text.contains(u"**2** دفعات متأخرة"_s) && text.contains(u"**3** شيكات تستحق"_s),
        qPrintable(text));
}

void TestInsights::analysisMargin()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    // Figures cover the whole history, not a period.
    f.addPayment(0, 0, 5000, today.addYears(-3));
    f.addPayment(0, 0, 5000, today);
    f.addExpense(property, 0, 6900, today.addYears(-2));
    QString text = analysisText(f);
    QVERIFY2(text.contains(u"**10,000.00 ₪**"_s)
            && text.contains(u"**31.0%**. هذا المؤشر ممتاز ويدل على كفاءة تشغيلية عالية."_s),
        qPrintable(text));
    f.addExpense(property, 0, 100, today); // a margin of exactly 30 gets advice
    text = analysisText(f);
    QVERIFY2(text.contains(u"**30.0%**. يُنصح بمراجعة المصاريف التشغيلية لزيادة هامش الربح."_s),
        qPrintable(text));
}

QTEST_GUILESS_MAIN(TestInsights)
#include "tst_insights.moc"
