#include "recordsearch.h"
#include "testfixture.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRecordSearch : public QObject
{
    Q_OBJECT

private slots:
    void tenants_data();
    void tenants();
    void screenfulAtATime();
    void openInvoicesOfOneTenant();
};

static QStringList details(const QVariantList &rows)
{
    QStringList out;
    for (const QVariant &row : rows)
        out << row.toMap().value(u"title"_s).toString() + u"|"_s
                + row.toMap().value(u"detail"_s).toString();
    return out;
}

void TestRecordSearch::tenants_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const QString leased = u"أحمد سالم|401234567  برج النخيل - B-12"_s;
    const QString other = u"أحمد سالم|402222222"_s;
    QTest::newRow("part of a name, same names told apart")
        << u"سالم"_s << QStringList { leased, other };
    QTest::newRow("ID number in Arabic-Indic digits") << u"٤٠١٢"_s << QStringList { leased };
    QTest::newRow("phone") << u"599123"_s << QStringList { leased };
    QTest::newRow("unit number of the current lease") << u"b-12"_s << QStringList { leased };
    QTest::newRow("underscore taken literally") << u"m_1"_s << QStringList { u"Sam_1|"_s };
    QTest::newRow("percent taken literally") << u"100%"_s << QStringList { u"100% Ltd|"_s };
    QTest::newRow("nothing matches") << u"zzz"_s << QStringList();
}

void TestRecordSearch::tenants()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    TestFixture f;
    RecordSearch search(f.db());
    const int leased = f.addTenant(u"أحمد سالم"_s, u"401234567"_s);
    QVERIFY(
        f.db()->execNonQuery(u"UPDATE tenants SET phone='0599123456' WHERE id=?"_s, { leased }));
    f.addTenant(u"أحمد سالم"_s, u"402222222"_s);
    for (const QString &name : { u"Sam_1"_s, u"Sam11"_s, u"100% Ltd"_s, u"1005 Co"_s })
        f.addTenant(name, QString());
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(u"برج النخيل"_s), u"B-12"_s, 1000, u"rented"_s);
    f.addLease(unit, leased, today.addMonths(-1), today.addMonths(11), 1000);

    QCOMPARE(details(search.find(u"tenant"_s, text, 0, 30)), expected);
}

void TestRecordSearch::screenfulAtATime()
{
    TestFixture f;
    RecordSearch search(f.db());
    for (int i = 0; i < 45; ++i)
        f.addTenant(u"مستأجر %1"_s.arg(i, 2, 10, QChar(u'0')), u"5%1"_s.arg(i));
    const QVariantList first = search.find(u"tenant"_s, u"مستأجر"_s, 0, 30);
    const QVariantList second = search.find(u"tenant"_s, u"مستأجر"_s, 30, 30);
    QCOMPARE(first.size(), 30);
    QCOMPARE(second.size(), 15);
    QSet<int> ids;
    for (const QVariant &row : first + second)
        ids.insert(row.toMap().value(u"id"_s).toInt());
    QCOMPARE(ids.size(), 45);
}

void TestRecordSearch::openInvoicesOfOneTenant()
{
    TestFixture f;
    RecordSearch search(f.db());
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const int tenant = f.addTenant(u"أ"_s);
    const int open = f.addInvoice(tenant, unit, u"2026-01"_s, 100);
    f.addInvoice(tenant, unit, u"2026-02"_s, 100, u"paid"_s, 100);
    f.addInvoice(tenant, unit, u"2026-03"_s, 100, u"void"_s);
    f.addInvoice(f.addTenant(u"ب"_s), unit, u"2026-01"_s, 100);
    const QVariantList rows = search.find(u"invoice"_s, QString(), 0, 30, tenant);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().toMap().value(u"id"_s).toInt(), open);
}

QTEST_GUILESS_MAIN(TestRecordSearch)
#include "tst_recordsearch.moc"
