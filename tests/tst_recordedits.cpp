#include "accountmodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "expensemodel.h"
#include "maintenancemodel.h"
#include "money.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

// Corrections of records already entered: each refuses what adding the record refuses, and a
// refusal leaves the row as it was.
class TestRecordEdits : public QObject
{
    Q_OBJECT

private slots:
    void leaseUpdate_data();
    void leaseUpdate();
    void chequeUpdate_data();
    void chequeUpdate();
    void expenseMovesContractorBalances_data();
    void expenseMovesContractorBalances();
    void namesMustNotBeEmpty_data();
    void namesMustNotBeEmpty();
};

void TestRecordEdits::leaseUpdate_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("endOffset");
    QTest::addColumn<double>("rent");
    QTest::addColumn<bool>("stored");
    QTest::newRow("extends and raises the rent") << u"active"_s << 500 << 1250.0 << true;
    QTest::newRow("shortens to the first day") << u"active"_s << 0 << 1000.0 << true;
    QTest::newRow("end before start") << u"active"_s << -1 << 1000.0 << false;
    QTest::newRow("runs into the next lease") << u"active"_s << 700 << 1000.0 << false;
    QTest::newRow("ended lease") << u"terminated"_s << 500 << 1000.0 << false;
    QTest::newRow("zero rent") << u"active"_s << 500 << 0.0 << false;
    QTest::newRow("rent not a number")
        << u"active"_s << 500 << std::numeric_limits<double>::quiet_NaN() << false;
}

void TestRecordEdits::leaseUpdate()
{
    QFETCH(QString, status);
    QFETCH(int, endOffset);
    QFETCH(double, rent);
    QFETCH(bool, stored);
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 1000, u"rented"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int lease = f.addLease(unit, tenant, start, start.addDays(364), 1000, status);
    // The unit is already let to someone else from day 600.
    f.addLease(unit, f.addTenant(u"التالي"_s), start.addDays(600), start.addDays(900), 1000);
    const QString end = TestFixture::iso(start.addDays(endOffset));
    QSignalSpy changed(&model, &ContractModel::dataChanged);

    QCOMPARE(model.update(lease, end, rent, u"ملاحظة"_s), stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    const QString expectedEnd = stored ? end : TestFixture::iso(start.addDays(364));
    QCOMPARE(f.scalar(u"SELECT end_date FROM contracts WHERE id=?"_s, { lease }).toString(),
        expectedEnd);
}

void TestRecordEdits::chequeUpdate_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("payer");
    QTest::addColumn<QString>("payee");
    QTest::newRow("received names the payer")
        << u"received"_s << u"pending"_s << u"CH-2"_s << true << u"سامر"_s << QString();
    QTest::newRow("issued names the payee")
        << u"issued"_s << u"pending"_s << u"CH-2"_s << true << QString() << u"سامر"_s;
    QTest::newRow("deposited") << u"received"_s << u"deposited"_s << u"CH-2"_s << false << QString()
                               << QString();
    QTest::newRow("cleared") << u"received"_s << u"cleared"_s << u"CH-2"_s << false << QString()
                             << QString();
    QTest::newRow("no number") << u"received"_s << u"pending"_s << u"  "_s << false << QString()
                               << QString();
}

void TestRecordEdits::chequeUpdate()
{
    QFETCH(QString, type);
    QFETCH(QString, status);
    QFETCH(QString, number);
    QFETCH(bool, stored);
    QFETCH(QString, payer);
    QFETCH(QString, payee);
    TestFixture f;
    ChequeModel model(f.db());
    const int cheque = f.addCheque(u"CH-1"_s, 500, TestFixture::today().addDays(30), status, type);

    QCOMPARE(model.update(cheque, number, 750, u"بنك"_s,
                 TestFixture::iso(TestFixture::today().addDays(60)), u"سامر"_s),
        stored);
    QCOMPARE(f.scalar(u"SELECT amount FROM cheques WHERE id=?"_s, { cheque }).toDouble(),
        stored ? 750.0 : 500.0);
    QCOMPARE(f.scalar(u"SELECT COALESCE(payer_name,'') FROM cheques WHERE id=?"_s, { cheque })
                 .toString(),
        payer);
    QCOMPARE(f.scalar(u"SELECT COALESCE(payee_name,'') FROM cheques WHERE id=?"_s, { cheque })
                 .toString(),
        payee);
}

// Contractor A starts owed 300 for the expense under test and 100 for another one.
void TestRecordEdits::expenseMovesContractorBalances_data()
{
    QTest::addColumn<QString>("contractor");
    QTest::addColumn<double>("amount");
    QTest::addColumn<bool>("balanceWriteFails");
    QTest::addColumn<double>("balanceA");
    QTest::addColumn<double>("balanceB");
    QTest::newRow("same contractor, new amount") << u"A"_s << 500.0 << false << 600.0 << 0.0;
    QTest::newRow("moved to another contractor") << u"B"_s << 200.0 << false << 100.0 << 200.0;
    QTest::newRow("contractor removed") << QString() << 200.0 << false << 100.0 << 0.0;
    QTest::newRow("cents survive the move") << u"A"_s << 300.1 << false << 400.1 << 0.0;
    QTest::newRow("balance write fails: all or nothing") << u"B"_s << 200.0 << true << 400.0 << 0.0;
}

void TestRecordEdits::expenseMovesContractorBalances()
{
    QFETCH(QString, contractor);
    QFETCH(double, amount);
    QFETCH(bool, balanceWriteFails);
    QFETCH(double, balanceA);
    QFETCH(double, balanceB);
    TestFixture f;
    ExpenseModel model(f.db());
    const int property = f.addProperty();
    const int a = f.insert(u"INSERT INTO contractors (name, balance) VALUES ('A', 400)"_s, {});
    const int b = f.insert(u"INSERT INTO contractors (name, balance) VALUES ('B', 0)"_s, {});
    const int expense = f.addExpense(property, 0, 300, TestFixture::today(), a);
    f.addExpense(property, 0, 100, TestFixture::today(), a);
    if (balanceWriteFails)
        f.failWrites(u"contractors"_s, u"UPDATE"_s, u"NEW.id="_s + QString::number(b));
    const int chosen = contractor == u"A"_s ? a : (contractor == u"B"_s ? b : 0);
    QSignalSpy changed(&model, &ExpenseModel::dataChanged);

    QCOMPARE(model.update(expense, property, 0, chosen, u"صيانة"_s, QString(), u"دهان"_s, amount,
                 TestFixture::iso(TestFixture::today()), 1, u"cash"_s),
        !balanceWriteFails);
    QCOMPARE(changed.count(), balanceWriteFails ? 0 : 1);
    const auto balance = [&f](int id) {
        return f.scalar(u"SELECT balance FROM contractors WHERE id=?"_s, { id }).toDouble();
    };
    QCOMPARE(Money::cents(balance(a)), Money::cents(balanceA));
    QCOMPARE(Money::cents(balance(b)), Money::cents(balanceB));
    QCOMPARE(f.scalar(u"SELECT amount FROM expenses WHERE id=?"_s, { expense }).toDouble(),
        balanceWriteFails ? 300.0 : amount);
}

void TestRecordEdits::namesMustNotBeEmpty_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stored");
    QTest::newRow("account renamed") << u"account"_s << u"صندوق الفرع"_s << true;
    QTest::newRow("account blank") << u"account"_s << u"   "_s << false;
    QTest::newRow("account that does not exist") << u"missing account"_s << u"اسم"_s << false;
    QTest::newRow("contractor renamed") << u"contractor"_s << u"ورشة"_s << true;
    QTest::newRow("contractor blank") << u"contractor"_s << QString() << false;
    QTest::newRow("request retitled") << u"request"_s << u"تسريب"_s << true;
    QTest::newRow("request blank") << u"request"_s << u" "_s << false;
}

void TestRecordEdits::namesMustNotBeEmpty()
{
    QFETCH(QString, record);
    QFETCH(QString, name);
    QFETCH(bool, stored);
    TestFixture f;
    bool result = false;
    QString table;
    QString column;
    int id = 0;
    if (record.endsWith(u"account"_s)) {
        AccountModel model(f.db());
        table = u"accounts"_s;
        column = u"name_ar"_s;
        id = record == u"account"_s ? f.scalar(u"SELECT MIN(id) FROM accounts"_s).toInt() : 99999;
        result = model.rename(id, name);
    } else if (record == u"contractor"_s) {
        ExpenseModel model(f.db());
        table = u"contractors"_s;
        column = u"name"_s;
        id = f.insert(u"INSERT INTO contractors (name) VALUES ('قديم')"_s, {});
        result = model.updateContractor(id, name, u"0599"_s, u"سباكة"_s);
    } else {
        MaintenanceModel model(f.db());
        table = u"maintenance_requests"_s;
        column = u"title"_s;
        const int unit = f.addUnit(f.addProperty(), u"1"_s);
        id = f.insert(
            u"INSERT INTO maintenance_requests (unit_id, title) VALUES (?, 'قديم')"_s, { unit });
        result = model.update(id, name, QString(), u"high"_s);
    }
    QCOMPARE(result, stored);
    const QString stays
        = f.scalar(u"SELECT %1 FROM %2 WHERE id=?"_s.arg(column, table), { id }).toString();
    QCOMPARE(stays == name.trimmed(), stored);
}

QTEST_GUILESS_MAIN(TestRecordEdits)
#include "tst_recordedits.moc"
