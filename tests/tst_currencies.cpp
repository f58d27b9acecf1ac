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
    void freshDatabase();
    void sameDayRateReplaced();
    void ratesOfLatestDateOnly();
    void refusedRate_data();
    void refusedRate();
};

void TestCurrencies::freshDatabase()
{
    TestFixture f;
    CurrencyModel model(f.db());
    QStringList codes;
    for (const QVariant &row : model.getAll())
        codes << row.toMap().value(u"code"_s).toString();
    QCOMPARE(codes.size(), 3);
    QCOMPARE(codes.first(), u"ILS"_s); // the primary currency leads
    QCOMPARE(model.getPrimary().value(u"code"_s).toString(), u"ILS"_s);
    QVERIFY(model.getExchangeRates().isEmpty());
    QCOMPARE(model.getSymbol(3), u"د.ا"_s);
    QCOMPARE(model.getSymbol(99), QString());

    QVERIFY(f.db()->execNonQuery(u"UPDATE currencies SET is_primary=0"_s));
    QVERIFY(model.getPrimary().isEmpty());
}

void TestCurrencies::sameDayRateReplaced()
{
    TestFixture f;
    CurrencyModel model(f.db());
    QSignalSpy changed(&model, &CurrencyModel::dataChanged);
    QVERIFY(model.setRate(2, 1, 3.6));
    QVERIFY(model.setRate(2, 1, 3.7));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(f.count(u"exchange_rates"_s), 1);
    QCOMPARE(f.scalar(u"SELECT rate || ' ' || date FROM exchange_rates"_s).toString(),
        u"3.7 "_s + TestFixture::iso(TestFixture::today()));
}

void TestCurrencies::ratesOfLatestDateOnly()
{
    TestFixture f;
    CurrencyModel model(f.db());
    const QDate today = TestFixture::today();
    f.addRate(3, 1, 5.1, today.addDays(-1));
    QCOMPARE(model.getExchangeRates().size(), 1);

    QVERIFY(model.setRate(2, 1, 3.6));
    const QVariantList rates = model.getExchangeRates();
    QCOMPARE(rates.size(), 1);
    const QVariantMap rate = rates.first().toMap();
    QCOMPARE(
        rate.value(u"from_code"_s).toString() + rate.value(u"to_name"_s).toString(), u"USDشيكل"_s);
    QCOMPARE(rate.value(u"rate"_s).toDouble(), 3.6);
    // The older rate stays as history.
    QCOMPARE(f.count(u"exchange_rates"_s), 2);
}

void TestCurrencies::refusedRate_data()
{
    QTest::addColumn<int>("fromId");
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("databaseErrors");
    QTest::newRow("nan") << 2 << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity") << 2 << std::numeric_limits<double>::infinity() << 0;
    QTest::newRow("minus infinity") << 2 << -std::numeric_limits<double>::infinity() << 0;
    QTest::newRow("missing currency") << 99 << 3.6 << 1;
}

void TestCurrencies::refusedRate()
{
    QFETCH(int, fromId);
    QFETCH(double, rate);
    QFETCH(int, databaseErrors);
    TestFixture f;
    CurrencyModel model(f.db());
    QSignalSpy changed(&model, &CurrencyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVERIFY(!model.setRate(fromId, 1, rate));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), databaseErrors);
    QCOMPARE(f.count(u"exchange_rates"_s), 0);
}

QTEST_GUILESS_MAIN(TestCurrencies)
#include "tst_currencies.moc"
