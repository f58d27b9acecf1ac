#include "chequemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QList<int> ids(const QVariantList &rows)
{
    QList<int> result;
    for (const QVariant &row : rows)
        result.append(row.toMap().value(u"id"_s).toInt());
    return result;
}

} // namespace

class TestCheques : public QObject
{
    Q_OBJECT

private slots:
    void payerPayeeAndLinks();
    void refused();
    void listsAndDueBoundaries();
};

void TestCheques::payerPayeeAndLinks()
{
    TestFixture f;
    const int buyer = f.addBuyer(u"سامر"_s, u"1"_s);
    ChequeModel model(f.db());
    const QString due = TestFixture::iso(QDate::currentDate().addMonths(1));
    const int id = model.add(
        u"5521"_s, u"received"_s, 2500, u"بنك القدس"_s, due, u"سامر"_s, 2, 3.75, buyer, 0);
    QVERIFY(id > 0);
    const QVariantMap row = f.db()->getById(u"cheques"_s, id);
    // A received cheque names the payer; the other name is empty text, never NULL, and a
    // missing link is NULL, never 0.
    QCOMPARE(row.value(u"payer_name"_s).toString(), u"سامر"_s);
    QVERIFY(!row.value(u"payee_name"_s).isNull());
    QVERIFY(row.value(u"payee_name"_s).toString().isEmpty());
    QCOMPARE(row.value(u"buyer_id"_s).toInt(), buyer);
    QVERIFY(row.value(u"tenant_id"_s).isNull());
    // There is no rate column; losing the note loses the rate.
    QCOMPARE(row.value(u"notes"_s).toString(), u"exchange_rate=3.75"_s);
}

void TestCheques::refused()
{
    TestFixture f;
    ChequeModel model(f.db());
    QSignalSpy changed(&model, &ChequeModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QString today = TestFixture::iso(QDate::currentDate());
    QCOMPARE(model.add(u"9"_s, u"received"_s, std::numeric_limits<double>::quiet_NaN(), u""_s,
                 today, u"x"_s, 1, 1.0),
        -1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(model.add(u"9"_s, u"received"_s, 100, u""_s, today, u"x"_s, 1, 1.0, 99), -1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"cheques"_s), 0);
}

void TestCheques::listsAndDueBoundaries()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int yesterday = f.addCheque(u"1"_s, 100, today.addDays(-1));
    const int dueToday = f.addCheque(u"2"_s, 100, today);
    const int tomorrow = f.addCheque(u"3"_s, 100, today.addDays(1));
    const int nextMonth = f.addCheque(u"4"_s, 100, today.addMonths(1), u"pending"_s, u"issued"_s);
    const int bounced = f.addCheque(u"5"_s, 100, today.addMonths(2));
    const int paid = f.addCheque(u"6"_s, 100, today.addMonths(3), u"paid"_s);
    ChequeModel model(f.db());
    QVERIFY(model.updateStatus(bounced, u"bounced"_s));

    QCOMPARE(ids(model.getPostDated()), (QList<int> { tomorrow, nextMonth }));
    QCOMPARE(ids(model.getPending()), (QList<int> { yesterday, dueToday, tomorrow, nextMonth }));
    QCOMPARE(ids(model.getAll()),
        (QList<int> { paid, bounced, nextMonth, tomorrow, dueToday, yesterday }));
    QCOMPARE(ids(model.getByType(u"issued"_s)), QList<int> { nextMonth });
    QCOMPARE(ids(model.getByStatus(u"bounced"_s)), QList<int> { bounced });
}

QTEST_GUILESS_MAIN(TestCheques)
#include "tst_cheques.moc"
