#include "settingsmanager.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void completeSetupIsNotStored();
    void primaryCurrencyAllOrNothing();
    void companyProfileAllOrNothing();
    void exchangeRate();
    void infiniteRateRefused();
};

// First run is read from the database: no primary currency means setup never finished.
void TestSettings::completeSetupIsNotStored()
{
    TestFixture f;
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
    QCOMPARE(f.scalar(u"SELECT group_concat(code) FROM currencies WHERE is_primary=1"_s).toString(),
        u"ILS"_s);
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

void TestSettings::exchangeRate()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    f.addRate(2, 2, 9.9, today);
    f.addRate(2, 1, 3.6, today.addDays(-2));
    f.addRate(3, 1, 5.2, today.addDays(-1));
    f.addRate(3, 1, 4.9, today.addDays(-5));
    SettingsManager settings(f.db());
    QCOMPARE(settings.getExchangeRate(2, 2), 1.0); // its own row is ignored
    QCOMPARE(settings.getExchangeRate(1, 2), 1.0); // no reverse lookup
    // The later date wins over the later id.
    QCOMPARE(settings.getExchangeRate(3, 1), 5.2);
    QCOMPARE(settings.convertAmount(100, 3, 1), 520.0);
}

void TestSettings::infiniteRateRefused()
{
    TestFixture f;
    QVERIFY(
        !SettingsManager(f.db()).updateExchangeRate(2, 1, std::numeric_limits<double>::infinity()));
    QCOMPARE(f.count(u"exchange_rates"_s), 0);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
