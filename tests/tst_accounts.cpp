#include "accountmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QVariantMap line(const QVariant &accountId, double debit, double credit)
{
    return { { u"account_id"_s, accountId }, { u"debit"_s, debit }, { u"credit"_s, credit },
        { u"description"_s, u"بند"_s } };
}

int accountId(TestFixture &f, const QString &code)
{
    return f.scalar(u"SELECT id FROM accounts WHERE code=?"_s, { code }).toInt();
}

double balance(TestFixture &f, const QString &code)
{
    return f.scalar(u"SELECT balance FROM accounts WHERE code=?"_s, { code }).toDouble();
}

// Posts a two-line entry on the given date: debit one account, credit the other.
int post(AccountModel &model, TestFixture &f, const QDate &date, const QString &debitCode,
    const QString &creditCode, double amount)
{
    return model.createJournalEntry(TestFixture::iso(date), u"قيد"_s, u"manual"_s, 0,
        { line(accountId(f, debitCode), amount, 0), line(accountId(f, creditCode), 0, amount) });
}

} // namespace

class TestAccounts : public QObject
{
    Q_OBJECT

private slots:
    void journalEntry_data();
    void journalEntry();
    void journalEntriesRange_data();
    void journalEntriesRange();
    void profitAndLoss();
    void balanceSheet_data();
    void balanceSheet();
};

void TestAccounts::journalEntry_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Account ids by seed order: 2 is "1100" (cash), 8 is "4100" (rent revenue).
    QTest::addColumn<QVariantList>("lines");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<double>("cashMove");
    QTest::addColumn<double>("revenueMove");

    QTest::newRow("balanced") << QVariantList { line(2, 100, 0), line(8, 0, 100) } << true << 100.0
                              << -100.0;
    QTest::newRow("within tolerance")
        << QVariantList { line(2, 100, 0), line(8, 0, 99.995) } << true << 100.0 << -99.995;
    QTest::newRow("exactly at tolerance")
        << QVariantList { line(2, 100, 0), line(8, 0, 99.99) } << true << 100.0 << -99.99;
    QTest::newRow("out of balance")
        << QVariantList { line(2, 100, 0), line(8, 0, 99.98) } << false << 0.0 << 0.0;
    QTest::newRow("missing account leaves nothing behind") << QVariantList { line(2, 100, 0),
        line(8, 0, 40), line(9999, 0, 60) } << false << 0.0 << 0.0;
    QTest::newRow("nan debit refused")
        << QVariantList { line(2, nan, 0), line(8, 0, 100) } << false << 0.0 << 0.0;
    QTest::newRow("infinite amounts refused")
        << QVariantList { line(2, inf, 0), line(8, 0, inf) } << false << 0.0 << 0.0;
}

void TestAccounts::journalEntry()
{
    QFETCH(QVariantList, lines);
    QFETCH(bool, stored);
    QFETCH(double, cashMove);
    QFETCH(double, revenueMove);
    TestFixture f;
    AccountModel model(f.db());
    QCOMPARE(accountId(f, u"1100"_s), 2);
    QCOMPARE(accountId(f, u"4100"_s), 8);
    QSignalSpy changed(&model, &AccountModel::dataChanged);

    const int id = model.createJournalEntry(
        TestFixture::iso(TestFixture::today()), u"إيجار"_s, u"manual"_s, 7, lines);

    QCOMPARE(id > 0, stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(f.count(u"journal_entries"_s), stored ? 1 : 0);
    QCOMPARE(f.count(u"journal_lines"_s), stored ? lines.size() : 0);
    QCOMPARE(balance(f, u"1100"_s), cashMove);
    QCOMPARE(balance(f, u"4100"_s), revenueMove);
}

void TestAccounts::journalEntriesRange_data()
{
    const QDate today = TestFixture::today();
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QList<int>>("daysAgo");
    QTest::newRow("no bounds: all, latest first")
        << QString() << QString() << QList<int> { 0, 3, 9 };
    QTest::newRow("only from: empty upper bound")
        << TestFixture::iso(today.addDays(-30)) << QString() << QList<int> {};
    QTest::newRow("inclusive range") << TestFixture::iso(today.addDays(-9))
                                     << TestFixture::iso(today.addDays(-3)) << QList<int> { 3, 9 };
}

void TestAccounts::journalEntriesRange()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QList<int>, daysAgo);
    TestFixture f;
    AccountModel model(f.db());
    const QDate today = TestFixture::today();
    for (int days : { 3, 9, 0 })
        QVERIFY(post(model, f, today.addDays(-days), u"1100"_s, u"4100"_s, 150) > 0);

    const QVariantList rows = model.getJournalEntries(from, to);
    QCOMPARE(rows.size(), daysAgo.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(rows.at(i).toMap().value(u"entry_date"_s).toString(),
            TestFixture::iso(today.addDays(-daysAgo.at(i))));
}

void TestAccounts::profitAndLoss()
{
    TestFixture f;
    AccountModel model(f.db());
    const QDate today = TestFixture::today();
    // Revenue inside the range at both ends, outside it on either side.
    QVERIFY(post(model, f, today.addDays(-10), u"1100"_s, u"4100"_s, 1000) > 0);
    QVERIFY(post(model, f, today.addDays(-7), u"1100"_s, u"4100"_s, 300) > 0);
    QVERIFY(post(model, f, today, u"1100"_s, u"4200"_s, 200) > 0);
    QVERIFY(post(model, f, today.addDays(1), u"1100"_s, u"4300"_s, 5000) > 0);
    QVERIFY(post(model, f, today.addDays(-7), u"5100"_s, u"1100"_s, 120) > 0);
    QVERIFY(post(model, f, today.addDays(-20), u"5200"_s, u"1100"_s, 999) > 0);

    const QVariantMap pl
        = model.getProfitLoss(TestFixture::iso(today.addDays(-7)), TestFixture::iso(today));
    QCOMPARE(pl.value(u"revenue"_s).toDouble(), 500.0);
    QCOMPARE(pl.value(u"expenses"_s).toDouble(), 120.0);
    QCOMPARE(pl.value(u"net_profit"_s).toDouble(), 380.0);
}

void TestAccounts::balanceSheet_data()
{
    QTest::addColumn<QList<double>>("balances"); // cash, payables, equity
    QTest::addColumn<double>("assets");
    QTest::addColumn<double>("liabilities");
    QTest::addColumn<double>("equity");

    QTest::newRow("credit balances count as positive")
        << QList<double> { 1500, -500, -1000 } << 1500.0 << 500.0 << 1000.0;
    QTest::newRow("assets keep their sign")
        << QList<double> { -200, 300, -50 } << -200.0 << 300.0 << 50.0;
}

void TestAccounts::balanceSheet()
{
    QFETCH(QList<double>, balances);
    QFETCH(double, assets);
    QFETCH(double, liabilities);
    QFETCH(double, equity);
    TestFixture f;
    AccountModel model(f.db());
    const QStringList codes { u"1100"_s, u"2100"_s, u"3000"_s };
    for (int i = 0; i < codes.size(); ++i)
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE accounts SET balance=? WHERE code=?"_s, { balances.at(i), codes.at(i) }));
    // Revenue and expense balances stay out of the balance sheet.
    QVERIFY(f.db()->execNonQuery(u"UPDATE accounts SET balance=777 WHERE code='4100'"_s));

    const QVariantMap sheet = model.getBalanceSheet();
    QCOMPARE(sheet.value(u"assets"_s).toDouble(), assets);
    QCOMPARE(sheet.value(u"liabilities"_s).toDouble(), liabilities);
    QCOMPARE(sheet.value(u"equity"_s).toDouble(), equity);
}

QTEST_GUILESS_MAIN(TestAccounts)
#include "tst_accounts.moc"
