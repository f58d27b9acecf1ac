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
    void journalEntriesRange();
    void referenceTypesEachOnceInOrder();
    void profitAndLoss();
    void balanceSheet();
};

void TestAccounts::journalEntry_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Account ids by seed order: 2 is "1100" (cash), 8 is "4100" (rent revenue).
    QTest::addColumn<QVariantList>("lines");
    QTest::addColumn<double>("cash"); // balances after the entry; 0 when it is refused
    QTest::addColumn<double>("revenue");
    QTest::newRow("balanced") << QVariantList { line(2, 100, 0), line(8, 0, 100) } << 100.0
                              << -100.0;
    QTest::newRow("tenths balance to the cent")
        << QVariantList { line(2, 0.1, 0), line(2, 0.2, 0), line(8, 0, 0.3) } << 0.3 << -0.3;
    QTest::newRow("sub-cent parts kept to the cent")
        << QVariantList { line(2, 100.004, 0), line(8, 0, 100) } << 100.0 << -100.0;
    QTest::newRow("one cent apart refused")
        << QVariantList { line(2, 100, 0), line(8, 0, 100.01) } << 0.0 << 0.0;
    QTest::newRow("out of balance")
        << QVariantList { line(2, 100, 0), line(8, 0, 99.98) } << 0.0 << 0.0;
    QTest::newRow("missing account leaves nothing behind")
        << QVariantList { line(2, 100, 0), line(8, 0, 40), line(9999, 0, 60) } << 0.0 << 0.0;
    QTest::newRow("nan debit refused")
        << QVariantList { line(2, nan, 0), line(8, 0, 100) } << 0.0 << 0.0;
}

void TestAccounts::journalEntry()
{
    QFETCH(QVariantList, lines);
    QFETCH(double, cash);
    QFETCH(double, revenue);
    const bool stored = cash != 0.0;
    TestFixture f;
    AccountModel model(f.db());
    QSignalSpy changed(&model, &AccountModel::dataChanged);

    const int id = model.createJournalEntry(
        TestFixture::iso(TestFixture::today()), u"إيجار"_s, u"manual"_s, 7, lines);

    QCOMPARE(id > 0, stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(f.count(u"journal_entries"_s), stored ? 1 : 0);
    QCOMPARE(f.count(u"journal_lines"_s), stored ? lines.size() : 0);
    QCOMPARE(balance(f, u"1100"_s), cash);
    QCOMPARE(balance(f, u"4100"_s), revenue);
}

void TestAccounts::referenceTypesEachOnceInOrder()
{
    TestFixture f;
    AccountModel model(f.db());
    QCOMPARE(model.referenceTypes(), QVariantList());
    const QString day = TestFixture::iso(TestFixture::today());
    for (const QVariant &type : QVariantList { u"payment"_s, u"invoice"_s, QVariant(), u""_s,
             u"invoice"_s, u"deposit_settlement"_s, u"expense"_s, u"payment"_s, u"deposit"_s })
        f.insert(u"INSERT INTO journal_entries (entry_date, reference_type) VALUES (?, ?)"_s,
            { day, type });
    QStringList types;
    for (const QVariant &row : model.referenceTypes()) {
        types << row.toMap().value(u"type"_s).toString();
        // The filter offers each kind by an Arabic name, never the stored word.
        QVERIFY2(
            row.toMap().value(u"title"_s).toString() != types.last(), qPrintable(types.last()));
    }
    QCOMPARE(types,
        QStringList(
            { u"deposit"_s, u"deposit_settlement"_s, u"expense"_s, u"invoice"_s, u"payment"_s }));
}

void TestAccounts::journalEntriesRange()
{
    TestFixture f;
    AccountModel model(f.db());
    const QDate today = TestFixture::today();
    const auto dates = [&model](const QString &from, const QString &to) {
        QStringList found;
        for (const QVariant &row : model.getJournalEntries(from, to))
            found << row.toMap().value(u"entry_date"_s).toString();
        return found;
    };
    for (int days : { 3, 9, 0 })
        QVERIFY(post(model, f, today.addDays(-days), u"1100"_s, u"4100"_s, 150) > 0);

    // Both ends inclusive, latest first; a bound left empty still bounds.
    QCOMPARE(dates(TestFixture::iso(today.addDays(-9)), TestFixture::iso(today.addDays(-3))),
        (QStringList { TestFixture::iso(today.addDays(-3)), TestFixture::iso(today.addDays(-9)) }));
    QCOMPARE(dates(TestFixture::iso(today.addDays(-30)), QString()), QStringList());
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

    const QVariantMap pl
        = model.getProfitLoss(TestFixture::iso(today.addDays(-7)), TestFixture::iso(today));
    QCOMPARE(pl.value(u"revenue"_s).toDouble(), 500.0);
    QCOMPARE(pl.value(u"expenses"_s).toDouble(), 120.0);
    QCOMPARE(pl.value(u"net_profit"_s).toDouble(), 380.0);
}

// Assets keep their sign; liabilities and equity are shown as positive amounts.
void TestAccounts::balanceSheet()
{
    TestFixture f;
    AccountModel model(f.db());
    const QString set = u"UPDATE accounts SET balance=? WHERE code=?"_s;
    QVERIFY(f.db()->execNonQuery(set, { -200, u"1100"_s }));
    QVERIFY(f.db()->execNonQuery(set, { 300, u"2100"_s }));
    QVERIFY(f.db()->execNonQuery(set, { -50, u"3000"_s }));
    // Revenue and expense balances stay out of the balance sheet.
    QVERIFY(f.db()->execNonQuery(set, { 777, u"4100"_s }));

    const QVariantMap sheet = model.getBalanceSheet();
    QCOMPARE(sheet.value(u"assets"_s).toDouble(), -200.0);
    QCOMPARE(sheet.value(u"liabilities"_s).toDouble(), 300.0);
    QCOMPARE(sheet.value(u"equity"_s).toDouble(), 50.0);
}

QTEST_GUILESS_MAIN(TestAccounts)
#include "tst_accounts.moc"
