#include "currencymodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class TestCurrencies : public QObject
{
    Q_OBJECT

private slots:
    void latestRateReplacesSameDay();
    void nanRateRefused();
};

void TestCurrencies::latestRateReplacesSameDay()
{
    TestFixture f;
    CurrencyModel model(f.db());
    f.addRate(3, 1, 5.1, TestFixture::today().addDays(-1));
    QSignalSpy changed(&model, &CurrencyModel::dataChanged);
    QVERIFY(model.setRate(2, 1, 3.6));
    QVERIFY(model.setRate(2, 1, 3.7));
    QCOMPARE(changed.count(), 2);
    // Yesterday's rate stays as history but only the latest date is listed.
    QCOMPARE(f.count(u"exchange_rates"_s), 2);
    const QVariantList rates = model.getExchangeRates();
    QCOMPARE(rates.size(), 1);
    const QVariantMap rate = rates.first().toMap();
    QCOMPARE(
        rate.value(u"from_code"_s).toString() + rate.value(u"to_name"_s).toString(), u"USDشيكل"_s);
    QCOMPARE(rate.value(u"rate"_s).toDouble(), 3.7);
}

void TestCurrencies::nanRateRefused()
{
    TestFixture f;
    CurrencyModel model(f.db());
    QSignalSpy changed(&model, &CurrencyModel::dataChanged);
    QVERIFY(!model.setRate(2, 1, std::numeric_limits<double>::quiet_NaN()));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"exchange_rates"_s), 0);
}

QTEST_GUILESS_MAIN(TestCurrencies)
#include "tst_currencies.moc"
