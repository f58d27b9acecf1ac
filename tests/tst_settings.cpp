#include "settingsmanager.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

static QStringList primaryCodes(TestFixture &f)
{
    QStringList codes;
    for (const QVariant &row :
        f.db()->execQuery(u"SELECT code FROM currencies WHERE is_primary=1"_s))
        codes << row.toMap().value(u"code"_s).toString();
    return codes;
}

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void completeSetupIsNotStored();
    void primaryCurrencyAllOrNothing();
    void companyProfileAllOrNothing();
    void exchangeRate_data();
    void exchangeRate();
    void refusedRate_data();
    void refusedRate();
};

// First run is read from the database: no primary currency means setup never finished.
void TestSettings::completeSetupIsNotStored()
{
    TestFixture f;
    QVERIFY(!SettingsManager(f.db()).isFirstRun());
    QVERIFY(f.db()->execNonQuery(u"UPDATE currencies SET is_primary=0"_s));
    SettingsManager settings(f.db());
    QVERIFY(settings.isFirstRun());
    settings.completeSetup();
    QVERIFY(!settings.isFirstRun());
    QVERIFY(SettingsManager(f.db()).isFirstRun());

    settings.setPrimaryCurrency(u"USD"_s);
    QVERIFY(!SettingsManager(f.db()).isFirstRun());
    QCOMPARE(SettingsManager(f.db()).primaryCurrency(), u"USD"_s);
}

void TestSettings::primaryCurrencyAllOrNothing()
{
    TestFixture f;
    SettingsManager settings(f.db());
    // Lets the clearing statement through and refuses the one that marks the new currency.
    f.failWrites(u"currencies"_s, u"UPDATE OF is_primary"_s, u"NEW.is_primary=1"_s);
    QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
    settings.setPrimaryCurrency(u"USD"_s);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(settings.primaryCurrency(), u"ILS"_s);
    QCOMPARE(primaryCodes(f), QStringList { u"ILS"_s });
}

void TestSettings::companyProfileAllOrNothing()
{
    TestFixture f;
    SettingsManager settings(f.db());
    QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
    settings.updateCompanyProfile(u"قديم"_s, u"111"_s, u"عنوان"_s, u"old@example.com"_s);
    QCOMPARE(changed.count(), 1);
    f.failWrites(u"settings"_s, u"INSERT"_s, u"NEW.key='company_email'"_s);
    settings.updateCompanyProfile(u"جديد"_s, u"222"_s, u"آخر"_s, u"new@example.com"_s);
    QCOMPARE(changed.count(), 1);
    const SettingsManager reread(f.db());
    QCOMPARE(QStringList({ reread.companyName(), reread.companyPhone(), reread.companyAddress(),
                 reread.companyEmail() }),
        (QStringList { u"قديم"_s, u"111"_s, u"عنوان"_s, u"old@example.com"_s }));
}

void TestSettings::exchangeRate_data()
{
    QTest::addColumn<int>("fromId");
    QTest::addColumn<int>("toId");
    QTest::addColumn<double>("rate");
    QTest::newRow("same currency ignores its own row") << 2 << 2 << 1.0;
    QTest::newRow("recorded direction") << 2 << 1 << 3.6;
    QTest::newRow("no reverse lookup") << 1 << 2 << 1.0;
    QTest::newRow("later date wins over later id") << 3 << 1 << 5.2;
    QTest::newRow("no rate at all") << 3 << 2 << 1.0;
}

void TestSettings::exchangeRate()
{
    QFETCH(int, fromId);
    QFETCH(int, toId);
    QFETCH(double, rate);
    TestFixture f;
    const QDate today = TestFixture::today();
    f.addRate(2, 2, 9.9, today);
    f.addRate(2, 1, 3.6, today.addDays(-2));
    f.addRate(3, 1, 5.2, today.addDays(-1));
    f.addRate(3, 1, 4.9, today.addDays(-5));
    SettingsManager settings(f.db());
    QCOMPARE(settings.getExchangeRate(fromId, toId), rate);
    QCOMPARE(settings.convertAmount(100, fromId, toId), 100 * rate);
}

void TestSettings::refusedRate_data()
{
    QTest::addColumn<int>("fromId");
    QTest::addColumn<double>("rate");
    QTest::newRow("infinity") << 2 << std::numeric_limits<double>::infinity();
    QTest::newRow("missing currency") << 99 << 3.6;
}

void TestSettings::refusedRate()
{
    QFETCH(int, fromId);
    QFETCH(double, rate);
    TestFixture f;
    SettingsManager settings(f.db());
    QVERIFY(!settings.updateExchangeRate(fromId, 1, rate));
    QCOMPARE(f.count(u"exchange_rates"_s), 0);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
