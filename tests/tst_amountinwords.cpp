#include "amountinwords.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

// Expected texts follow the grammar of Arabic numbers (agreement of 1–2, polarity of 3–10,
// accusative singular after 11–99, genitive singular after hundreds and thousands, construct
// duals), not this code.
class TestAmountInWords : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void outOfRange_data();
    void outOfRange();
};

void TestAmountInWords::text_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("expected");
    const QString ils = u"ILS"_s;
    auto row = [](const char *name, double amount, const QString &currency, const QString &words) {
        QTest::newRow(name) << amount << currency << (u"فقط "_s + words + u" لا غير"_s);
    };
    row("1", 1, ils, u"شيكل واحد"_s);
    row("2", 2, ils, u"شيكلان"_s);
    row("3", 3, ils, u"ثلاثة شواقل"_s);
    row("10", 10, ils, u"عشرة شواقل"_s);
    row("11", 11, ils, u"أحد عشر شيكلاً"_s);
    row("12", 12, ils, u"اثنا عشر شيكلاً"_s);
    row("18", 18, ils, u"ثمانية عشر شيكلاً"_s);
    row("21", 21, ils, u"واحد وعشرون شيكلاً"_s);
    row("22", 22, ils, u"اثنان وعشرون شيكلاً"_s);
    row("100", 100, ils, u"مائة شيكل"_s);
    row("101", 101, ils, u"مائة وواحد شيكل"_s);
    row("103", 103, ils, u"مائة وثلاثة شواقل"_s);
    row("200 in construct", 200, ils, u"مائتا شيكل"_s);
    row("250", 250, ils, u"مائتان وخمسون شيكلاً"_s);
    row("800", 800, ils, u"ثمانمائة شيكل"_s);
    row("1000", 1000, ils, u"ألف شيكل"_s);
    row("1200", 1200, ils, u"ألف ومائتا شيكل"_s);
    row("2000 in construct", 2000, ils, u"ألفا شيكل"_s);
    row("3000", 3000, ils, u"ثلاثة آلاف شيكل"_s);
    row("10000", 10000, ils, u"عشرة آلاف شيكل"_s);
    row("11000", 11000, ils, u"أحد عشر ألف شيكل"_s);
    row("11500", 11500, ils, u"أحد عشر ألفاً وخمسمائة شيكل"_s);
    row("100000", 100000, ils, u"مائة ألف شيكل"_s);
    row("200000", 200000, ils, u"مائتا ألف شيكل"_s);
    row("1000000", 1000000, ils, u"مليون شيكل"_s);
    row("2000000", 2000000, ils, u"مليونا شيكل"_s);
    row("3000000", 3000000, ils, u"ثلاثة ملايين شيكل"_s);
    row("2500", 2500, ils, u"ألفان وخمسمائة شيكل"_s);
    row("2500.75", 2500.75, ils, u"ألفان وخمسمائة شيكل وخمس وسبعون أغورة"_s);
    row("0.01 feminine one", 0.01, ils, u"أغورة واحدة"_s);
    row("0.02 feminine dual", 0.02, ils, u"أغورتان"_s);
    row("0.03 feminine polarity", 0.03, ils, u"ثلاث أغورات"_s);
    row("0.11", 0.11, ils, u"إحدى عشرة أغورة"_s);
    row("0.12", 0.12, ils, u"اثنتا عشرة أغورة"_s);
    row("0.18", 0.18, ils, u"ثماني عشرة أغورة"_s);
    row("0.1+0.2", 0.1 + 0.2, ils, u"ثلاثون أغورة"_s);
    row("maximum", 999999999999.99, ils,
        u"تسعمائة وتسعة وتسعون ملياراً وتسعمائة وتسعة وتسعون مليوناً وتسعمائة وتسعة وتسعون "
        "ألفاً وتسعمائة وتسعة وتسعون شيكلاً وتسع وتسعون أغورة"_s);
    row("dinar and fils", 2500.75, u"JOD"_s, u"ألفان وخمسمائة دينار وسبعمائة وخمسون فلساً"_s);
    row("half a dinar", 1.5, u"JOD"_s, u"دينار واحد وخمسمائة فلس"_s);
    row("ten fils", 0.01, u"JOD"_s, u"عشرة فلوس"_s);
    row("dollars and cents", 13.05, u"USD"_s, u"ثلاثة عشر دولاراً وخمسة سنتات"_s);
    row("two dollars", 2, u"USD"_s, u"دولاران"_s);
    row("euros", 5, u"EUR"_s, u"خمسة يوروهات"_s);
    row("pounds and piastres", 40.25, u"EGP"_s, u"أربعون جنيهاً وخمسة وعشرون قرشاً"_s);
    row("lower-case code", 3, u"ils"_s, u"ثلاثة شواقل"_s);
    row("currency added later", 125.5, u"SAR"_s, u"مائة وخمسة وعشرون SAR وخمسون من مائة"_s);
}

void TestAmountInWords::text()
{
    QFETCH(double, amount);
    QFETCH(QString, currency);
    QFETCH(QString, expected);
    QCOMPARE(AmountInWords::text(amount, currency), expected);
}

void TestAmountInWords::outOfRange_data()
{
    QTest::addColumn<double>("amount");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("below a cent") << 0.004;
    QTest::newRow("negative") << -5.0;
    QTest::newRow("a trillion") << 1e12;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
}

void TestAmountInWords::outOfRange()
{
    QFETCH(double, amount);
    QVERIFY(AmountInWords::text(amount, u"ILS"_s).isEmpty());
}

QTEST_GUILESS_MAIN(TestAmountInWords)
#include "tst_amountinwords.moc"
