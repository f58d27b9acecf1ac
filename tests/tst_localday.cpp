#include "chequemodel.h"
#include "contractmodel.h"
#include "installmentmodel.h"
#include "reportcontroller.h"
#include "testfixture.h"

#include <QDateTime>
#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

// The operator's day decides what is due, not the day in UTC. The test runs in a time zone 12
// hours away from UTC in the direction that puts the local date on another day than UTC's.
class TestLocalDay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void todayIsTheLocalDay_data();
    void todayIsTheLocalDay();
};

void TestLocalDay::initTestCase()
{
    const int hour = QDateTime::currentDateTimeUtc().time().hour();
    qputenv("TZ", hour < 12 ? "<-12>12" : "<+12>-12");
    tzset();
    QVERIFY(QDate::currentDate() != QDateTime::currentDateTimeUtc().date());
}

void TestLocalDay::todayIsTheLocalDay_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<int>>("listed"); // of items dated yesterday, today and tomorrow
    QTest::newRow("overdue installments") << u"installments"_s << QList<int> { -1 };
    QTest::newRow("overdue installments report") << u"report"_s << QList<int> { -1 };
    QTest::newRow("post-dated cheques") << u"cheques"_s << QList<int> { 1 };
    QTest::newRow("leases ending by today") << u"leases"_s << QList<int> { -1, 0 };
}

void TestLocalDay::todayIsTheLocalDay()
{
    QFETCH(QString, list);
    QFETCH(QList<int>, listed);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int buyer = f.addBuyer(u"مشتري"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    QHash<int, int> dayOf; // id -> days from today
    for (int day = -1; day <= 1; ++day) {
        const QDate date = today.addDays(day);
        const int unit = f.addUnit(property, QString::number(day + 10));
        int id = 0;
        if (list == u"cheques"_s)
            id = f.addCheque(QString::number(day + 10), 100, date);
        else if (list == u"leases"_s)
            id = f.addLease(unit, tenant, today.addYears(-1), date, 500);
        else
            id = f.addInstallment(buyer, unit, 100, date);
        dayOf.insert(id, day);
    }

    QVariantList rows;
    if (list == u"installments"_s)
        rows = InstallmentModel(f.db()).getOverdue();
    else if (list == u"report"_s)
        rows = ReportController(f.db()).getOverdueInstallments();
    else if (list == u"cheques"_s)
        rows = ChequeModel(f.db()).getPostDated();
    else
        rows = ContractModel(f.db()).getExpiring(0);
    QList<int> days;
    for (const QVariant &row : rows)
        days << dayOf.value(row.toMap().value(u"id"_s).toInt(), 99);
    std::sort(days.begin(), days.end());
    QCOMPARE(days, listed);
}

QTEST_GUILESS_MAIN(TestLocalDay)
#include "tst_localday.moc"
