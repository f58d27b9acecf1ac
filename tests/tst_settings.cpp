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
    void firstRun_data();
    void firstRun();
    void currenciesWithoutRate_data();
    void currenciesWithoutRate();
    void primaryCurrencyAllOrNothing();
    void companyProfileAllOrNothing();
    void exchangeRate();
    void infiniteRateRefused();
};

void TestSettings::firstRun_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("firstRun");
    // The seeded primary currency alone does not mean anyone has set the program up.
    QTest::newRow("fresh database") << QString() << false << true;
    QTest::newRow("setup completed, next start") << QString() << true << false;
    QTest::newRow("in use before setup was recorded: a property")
        << u"INSERT INTO properties (name, type) VALUES ('برج', 'residential')"_s << false << false;
    QTest::newRow("in use before setup was recorded: a company name")
        << u"INSERT INTO settings (key, value) VALUES ('company_name', 'شركة الأمل')"_s << false
        << false;
    QTest::newRow("an empty company name is not a setup")
        << u"INSERT INTO settings (key, value) VALUES ('company_name', '')"_s << false << true;
}

// Asked once, on a database nobody has used yet; remembered across starts.
void TestSettings::firstRun()
{
    QFETCH(QString, before);
    QFETCH(bool, complete);
    QFETCH(bool, firstRun);
    TestFixture f;
    if (!before.isEmpty())
        QVERIFY(f.db()->execNonQuery(before));
    {
        SettingsManager settings(f.db());
        QSignalSpy changed(&settings, &SettingsManager::settingsChanged);
        if (complete) {
            QVERIFY(settings.isFirstRun());
            settings.completeSetup();
            QCOMPARE(changed.count(), 1);
            QVERIFY(!settings.isFirstRun());
        }
    }
    QCOMPARE(SettingsManager(f.db()).isFirstRun(), firstRun);
}

void TestSettings::currenciesWithoutRate_data()
{
    QTest::addColumn<QList<QList<int>>>("rates");
    QTest::addColumn<QString>("primary");
    QTest::addColumn<QStringList>("missing");
    // Seeded ids: 1 ILS (primary), 2 USD, 3 JOD.
    QTest::newRow("none entered") << QList<QList<int>> {} << u"ILS"_s
                                  << QStringList { u"USD"_s, u"JOD"_s };
    QTest::newRow("USD to the primary")
        << QList<QList<int>> { { 2, 1 } } << u"ILS"_s << QStringList { u"JOD"_s };
    QTest::newRow("the other direction does not count")
        << QList<QList<int>> { { 1, 2 } } << u"ILS"_s << QStringList { u"USD"_s, u"JOD"_s };
    QTest::newRow("to a currency that is no longer primary") << QList<QList<int>> { { 2, 1 },
        { 3, 1 } } << u"USD"_s << QStringList { u"ILS"_s, u"JOD"_s };
}

void TestSettings::currenciesWithoutRate()
{
    QFETCH(QList<QList<int>>, rates);
    QFETCH(QString, primary);
    QFETCH(QStringList, missing);
    TestFixture f;
    SettingsManager settings(f.db());
    for (const QList<int> &pair : rates)
        QVERIFY(settings.updateExchangeRate(pair.at(0), pair.at(1), 3.5));
    settings.setPrimaryCurrency(primary);
    QStringList codes;
    for (const QVariant &row : settings.currenciesWithoutRate())
        codes << row.toMap().value(u"code"_s).toString();
    QCOMPARE(codes, missing);
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
    QCOMPARE(
        f.scalar(u"SELECT group_concat(code, ',') FROM currencies WHERE is_primary=1"_s).toString(),
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
