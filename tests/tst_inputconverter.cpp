#include "inputconverter.h"

#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

class TestInputConverter : public QObject
{
    Q_OBJECT

private slots:
    void amount_data();
    void amount();
    void date_data();
    void date();
};

void TestInputConverter::amount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << u"2500"_s << true << 2500.0;
    QTest::newRow("latin thousands") << u"1,000"_s << true << 1000.0;
    QTest::newRow("arabic thousands") << u"1٬000"_s << true << 1000.0;
    QTest::newRow("arabic-indic digits") << u"١٠٠٠"_s << true << 1000.0;
    QTest::newRow("persian digits") << u"۱۰۰۰"_s << true << 1000.0;
    QTest::newRow("arabic decimal separator") << u"١٢٫٥"_s << true << 12.5;
    QTest::newRow("all arabic forms together") << u"١٬٢٣٤٬٥٦٧٫٨٩"_s << true << 1234567.89;
    QTest::newRow("mixed digits") << u"1٠0۰"_s << true << 1000.0;
    QTest::newRow("spaces and direction marks") << u" \u200F1,500.25\u200E "_s << true << 1500.25;
    QTest::newRow("negative with thousands") << u"-12,000"_s << true << -12000.0;
    QTest::newRow("leading decimal point") << u".5"_s << true << 0.5;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("letters") << u"abc"_s << false << 0.0;
    QTest::newRow("comma as decimal") << u"1,5"_s << false << 0.0;
    QTest::newRow("group of four") << u"1,0000"_s << false << 0.0;
    QTest::newRow("separator first") << u",100"_s << false << 0.0;
    QTest::newRow("two decimal points") << u"1.2.3"_s << false << 0.0;
    QTest::newRow("trailing text") << u"100 ₪"_s << false << 0.0;
    QTest::newRow("infinity spelled") << u"inf"_s << false << 0.0;
    QTest::newRow("exponent") << u"1e3"_s << false << 0.0;
}

void TestInputConverter::amount()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, expected);
    const double value = InputConverter::amount(text);
    QCOMPARE(!std::isnan(value), valid);
    if (valid)
        QCOMPARE(value, expected);
}

void TestInputConverter::date_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("shaped");
    QTest::newRow("latin") << u"2026-03-15"_s << u"2026-03-15"_s << true;
    QTest::newRow("arabic-indic") << u"٢٠٢٦-٠٣-١٥"_s << u"2026-03-15"_s << true;
    QTest::newRow("persian") << u"۲۰۲۶-۰۳-۱۵"_s << u"2026-03-15"_s << true;
    QTest::newRow("leap day") << u"2028-02-29"_s << u"2028-02-29"_s << true;
    QTest::newRow("february 30th") << u"2027-02-30"_s << QString() << true;
    QTest::newRow("leap day of a common year") << u"2027-02-29"_s << QString() << true;
    QTest::newRow("month 13 in arabic digits") << u"٢٠٢٧-١٣-٠١"_s << QString() << true;
    QTest::newRow("slashes") << u"2026/03/15"_s << QString() << false;
    QTest::newRow("day first") << u"15-03-2026"_s << QString() << false;
    QTest::newRow("one-digit month") << u"2026-3-15"_s << QString() << false;
    QTest::newRow("empty") << QString() << QString() << false;
}

void TestInputConverter::date()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(bool, shaped);
    QCOMPARE(InputConverter::date(text), expected);
    QCOMPARE(InputConverter::isDateShaped(text), shaped);
}

QTEST_GUILESS_MAIN(TestInputConverter)
#include "tst_inputconverter.moc"
