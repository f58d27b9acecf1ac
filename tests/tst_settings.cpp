#include "settingsmanager.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QStringList primaryCodes(TestFixture &f)
{
    QStringList codes;
    for (const QVariant &row :
        f.db()->execQuery(u"SELECT code FROM currencies WHERE is_primary=1"_s))
        codes << row.toMap().value(u"code"_s).toString();
    return codes;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void firstRunFromDatabase_data();
    void firstRunFromDatabase();
    void completeSetupIsNotStored();
    void setPrimaryCurrency_data();
    void setPrimaryCurrency();
    void primaryCurrencyAllOrNothing();
    void companyProfile();
    void exchangeRate_data();
    void exchangeRate();
    void convertAmount();
    void refusedRate_data();
    void refusedRate();
};

void TestSettings::firstRunFromDatabase_data()
{
    QTest::addColumn<QString>("setupSql");
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<QString>("primary");
    QTest::newRow("seeded primary") << QString() << false << u"ILS"_s;
    QTest::newRow("no primary currency")
        << u"UPDATE currencies SET is_primary=0"_s << true << QString();
    QTest::newRow("other primary")
        << u"UPDATE currencies SET is_primary=(code='JOD')"_s << false << u"JOD"_s;
}

void TestSettings::firstRunFromDatabase()
{
    QFETCH(QString, setupSql);
    QFETCH(bool, firstRun);
    QFETCH(QString, primary);
    TestFixture f;
    if (!setupSql.isEmpty())
        QVERIFY(f.db()->execNonQuery(setupSql));
    SettingsManager settings(f.db());
    QCOMPARE(settings.isFirstRun(), firstRun);
    QCOMPARE(settings.primaryCurrency(), primary);
    QCOMPARE(settings.property("isFirstRun").toBool(), firstRun);
}

void TestSettings::completeSetupIsNotStored()
{
    TestFixture f;
    QVERIFY(f.db()->execNonQuery(u"UPDATE currencies SET is_primary=0"_s));
    SettingsManager settings(f.db());
    QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
    settings.completeSetup();
    QVERIFY(!settings.isFirstRun());
    QCOMPARE(changed.count(), 1);
    QVERIFY(SettingsManager(f.db()).isFirstRun());

    settings.setPrimaryCurrency(u"USD"_s);
    QVERIFY(!SettingsManager(f.db()).isFirstRun());
    QCOMPARE(SettingsManager(f.db()).primaryCurrency(), u"USD"_s);
}

void TestSettings::setPrimaryCurrency_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("another currency") << u"USD"_s << QStringList { u"USD"_s };
    QTest::newRow("same currency") << u"ILS"_s << QStringList { u"ILS"_s };
    QTest::newRow("unknown code leaves none primary") << u"EUR"_s << QStringList {};
}

void TestSettings::setPrimaryCurrency()
{
    QFETCH(QString, code);
    QFETCH(QStringList, stored);
    TestFixture f;
    SettingsManager settings(f.db());
    QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
    settings.setPrimaryCurrency(code);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(settings.primaryCurrency(), code);
    QCOMPARE(primaryCodes(f), stored);
}

void TestSettings::primaryCurrencyAllOrNothing()
{
    TestFixture f;
    SettingsManager settings(f.db());
    // Lets the clearing statement through and refuses the one that marks the new currency.
    f.failWrites(u"currencies"_s, u"UPDATE OF is_primary"_s, u"NEW.is_primary=1"_s);
    QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    settings.setPrimaryCurrency(u"USD"_s);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(settings.primaryCurrency(), u"ILS"_s);
    QCOMPARE(primaryCodes(f), QStringList { u"ILS"_s });
}

void TestSettings::companyProfile()
{
    TestFixture f;
    SettingsManager settings(f.db());
    QCOMPARE(settings.companyName(), QString());
    QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
    settings.updateCompanyProfile(u"قديم"_s, u"111"_s, u"عنوان"_s, u"old@example.com"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(settings.property("companyEmail").toString(), u"old@example.com"_s);
    QCOMPARE(f.count(u"settings"_s), 4);

    // All or nothing: one refused key keeps the whole old profile.
    f.failWrites(u"settings"_s, u"INSERT"_s, u"NEW.key='company_email'"_s);
    settings.updateCompanyProfile(u"جديد"_s, u"222"_s, u"آخر"_s, u"new@example.com"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(QStringList({ settings.companyName(), settings.companyPhone(),
                 settings.companyAddress(), settings.companyEmail() }),
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
}

void TestSettings::convertAmount()
{
    TestFixture f;
    SettingsManager settings(f.db());
    QVERIFY(settings.updateExchangeRate(2, 1, 3.6));
    QCOMPARE(settings.convertAmount(100, 2, 1), 360.0);
    QCOMPARE(settings.convertAmount(360, 1, 2), 360.0);
    QCOMPARE(settings.convertAmount(42.5, 3, 3), 42.5);
}

void TestSettings::refusedRate_data()
{
    QTest::addColumn<int>("fromId");
    QTest::addColumn<double>("rate");
    QTest::newRow("nan") << 2 << std::numeric_limits<double>::quiet_NaN();
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
