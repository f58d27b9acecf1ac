#include "listcatalog.h"
#include "pagedlistmodel.h"
#include "tenantmodel.h"
#include "testfixture.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestListModel : public QObject
{
    Q_OBJECT

private slots:
    void paging_data();
    void paging();
    void narrowing_data();
    void narrowing();
    void chequesAndJournal_data();
    void chequesAndJournal();
    void rowsAppearAfterWrite();
};

static QList<int> ids(const PagedListModel &list)
{
    QList<int> out;
    for (int i = 0; i < list.count(); ++i)
        out << list.get(i).value(u"id"_s).toInt();
    return out;
}

static QList<int> idsOf(Database *db, const QString &sql)
{
    QList<int> out;
    for (const QVariant &row : db->execQuery(sql))
        out << row.toMap().value(u"id"_s).toInt();
    return out;
}

// Reads every page the way a view scrolling to the end does; returns how many pages added rows.
static int readToEnd(PagedListModel &list)
{
    int pages = list.count() > 0 ? 1 : 0;
    while (list.canFetchMore(QModelIndex())) {
        const int before = list.count();
        list.fetchMore(QModelIndex());
        pages += list.count() > before ? 1 : 0;
    }
    return pages;
}

void TestListModel::paging_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("order");
    const QString byName = u"SELECT id FROM tenants ORDER BY full_name, id"_s;
    QTest::newRow("empty list") << u"tenants"_s << QStringList() << 0 << byName;
    QTest::newRow("exactly one page")
        << u"tenants"_s << QStringList { u"ج"_s, u"أ"_s, u"ب"_s } << 1 << byName;
    QTest::newRow("one row past a page")
        << u"tenants"_s << QStringList { u"ج"_s, u"أ"_s, u"ب"_s, u"د"_s } << 2 << byName;
    QTest::newRow("page boundary inside equal names")
        << u"tenants"_s << QStringList(8, u"سالم"_s) << 3 << byName;
    QTest::newRow("page takes the rest of one name, then the next")
        << u"tenants"_s << QStringList { u"ب"_s, u"س"_s, u"ب"_s, u"ب"_s, u"س"_s, u"ب"_s } << 2
        << byName;
    // Units go by their property's name, then their number as text, then id; two properties
    // may share a name. Each entry: name/which property of that name/unit number.
    const QString byPlace = u"SELECT u.id FROM units u JOIN properties p ON p.id=u.property_id "
                            "ORDER BY p.name, u.unit_number, u.id"_s;
    QTest::newRow("units: numbers as text, names out of order")
        << u"units"_s << QStringList { u"ب/1/2"_s, u"أ/1/10"_s, u"أ/1/9"_s, u"ب/1/1"_s, u"أ/1/1"_s }
        << 2 << byPlace;
    QTest::newRow("units: page boundary inside one name and one number")
        << u"units"_s
        << QStringList { u"س/1/1"_s, u"س/2/1"_s, u"س/3/1"_s, u"س/4/1"_s, u"س/2/2"_s, u"س/1/2"_s,
               u"س/3/0"_s }
        << 3 << byPlace;
    QTest::newRow("units: boundary inside a name, the next page goes on to the next name")
        << u"units"_s
        << QStringList { u"ج/1/3"_s, u"ج/1/1"_s, u"ج/1/2"_s, u"ج/1/4"_s, u"د/1/1"_s, u"ج/2/2"_s,
               u"ب/1/5"_s }
        << 3 << byPlace;
    // Expenses run newest first; these all fall on one day.
    QTest::newRow("descending, boundary inside one day")
        << u"expenses"_s << QStringList(7, QString()) << 3
        << u"SELECT id FROM expenses ORDER BY expense_date DESC, id DESC"_s;
}

void TestListModel::paging()
{
    QFETCH(QString, list);
    QFETCH(QStringList, names);
    QFETCH(int, pages);
    QFETCH(QString, order);
    TestFixture f;
    const int property = names.isEmpty() || list == u"units"_s ? 0 : f.addProperty();
    QHash<QString, int> properties;
    for (const QString &name : names) {
        if (list == u"tenants"_s) {
            f.addTenant(name);
        } else if (list == u"units"_s) {
            const QStringList parts = name.split(u'/');
            const QString which = parts.at(0) + parts.at(1);
            if (!properties.contains(which))
                properties.insert(which, f.addProperty(parts.at(0)));
            QVERIFY(f.addUnit(properties.value(which), parts.at(2)) > 0);
        } else {
            f.addExpense(property, 0, 100, TestFixture::today());
        }
    }
    ListCatalog catalog(f.db());
    std::unique_ptr<PagedListModel> rows(catalog.open(list));
    QVERIFY(rows);
    rows->setPageSize(3);
    QCOMPARE(rows->count(), 0);
    rows->setActive(true);
    QCOMPARE(rows->count(), qMin(3, int(names.size())));
    QCOMPARE(readToEnd(*rows), pages);
    QCOMPARE(ids(*rows), idsOf(f.db(), order));
    QVERIFY(!rows->canFetchMore(QModelIndex()));
}

void TestListModel::narrowing_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QVariantMap>("filters");
    QTest::addColumn<QString>("sort");
    QTest::addColumn<bool>("descending");
    // Amounts of the expenses expected, in the order listed.
    QTest::addColumn<QList<int>>("amounts");
    const QVariantMap none;
    QTest::newRow("everything, newest first") << QString() << QString() << QString() << none
                                              << QString() << true << QList<int> { 40, 30, 20, 10 };
    QTest::newRow("oldest first") << QString() << QString() << QString() << none << QString()
                                  << false << QList<int> { 10, 20, 30, 40 };
    QTest::newRow("by amount") << QString() << QString() << QString() << none << u"amount"_s
                               << false << QList<int> { 10, 20, 30, 40 };
    QTest::newRow("contractor's name, Arabic-Indic digits")
        << u"٧"_s << QString() << QString() << none << QString() << true << QList<int> { 30, 10 };
    QTest::newRow("date range, both ends taken whole")
        << QString() << u"-2"_s << u"-1"_s << none << QString() << true << QList<int> { 30, 20 };
    QTest::newRow("malformed end left open") << QString() << u"-2"_s << u"soon"_s << none
                                             << QString() << true << QList<int> { 40, 30, 20 };
    QTest::newRow("property filter")
        << QString() << QString() << QString() << QVariantMap { { u"property"_s, 2 } } << QString()
        << true << QList<int> { 40, 10 };
    QTest::newRow("empty filter value ignored")
        << QString() << QString() << QString() << QVariantMap { { u"property"_s, QString() } }
        << QString() << true << QList<int> { 40, 30, 20, 10 };
    QTest::newRow("search and filter together")
        << u"مقاول"_s << QString() << QString() << QVariantMap { { u"property"_s, 2 } } << QString()
        << true << QList<int> { 10 };
    QTest::newRow("percent taken literally")
        << u"%"_s << QString() << QString() << none << QString() << true << QList<int>();
}

void TestListModel::narrowing()
{
    QFETCH(QString, search);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QVariantMap, filters);
    QFETCH(QString, sort);
    QFETCH(bool, descending);
    QFETCH(QList<int>, amounts);
    TestFixture f;
    const int first = f.addProperty(u"برج النخيل"_s);
    const int second = f.addProperty(u"عمارة اللوتس"_s);
    QCOMPARE(second, 2);
    const int contractor
        = f.insert(u"INSERT INTO contractors (name, phone) VALUES ('مقاول 7', '022')"_s, {});
    // Days back from today, each expense on its own day.
    const QDate today = TestFixture::today();
    f.addExpense(second, 0, 10, today.addDays(-3), contractor);
    f.addExpense(first, 0, 20, today.addDays(-2));
    f.addExpense(first, 0, 30, today.addDays(-1), contractor);
    f.addExpense(second, 0, 40, today);
    // Relative days are given as "-N".
    auto day = [&today](const QString &text) {
        bool number = false;
        const int back = text.toInt(&number);
        return number ? TestFixture::iso(today.addDays(back)) : text;
    };

    ListCatalog catalog(f.db());
    std::unique_ptr<PagedListModel> rows(catalog.open(u"expenses"_s));
    rows->setActive(true);
    rows->setSearch(search);
    rows->setFrom(day(from));
    rows->setTo(day(to));
    rows->setFilters(filters);
    if (!sort.isEmpty())
        rows->setSort(sort);
    rows->setDescending(descending);
    QList<int> listed;
    for (int i = 0; i < rows->count(); ++i)
        listed << qRound(rows->get(i).value(u"amount"_s).toDouble());
    QCOMPARE(listed, amounts);
}

void TestListModel::chequesAndJournal_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QVariantMap>("filters");
    QTest::addColumn<bool>("descending");
    // Cheque numbers or entry descriptions, in the order listed.
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("issued cheques only")
        << u"cheques"_s << QString() << QVariantMap { { u"type"_s, u"issued"_s } } << true
        << QStringList { u"C4"_s };
    QTest::newRow("pending cheques due after today, soonest first")
        << u"cheques"_s << QString() << QVariantMap { { u"pendingAfter"_s, u"today"_s } } << false
        << QStringList { u"C4"_s, u"C2"_s };
    QTest::newRow("cheques by bank") << u"cheques"_s << u"الاستقلال"_s << QVariantMap() << true
                                     << QStringList { u"C3"_s, u"C1"_s };
    QTest::newRow("entries with a line on the account")
        << u"journal"_s << QString() << QVariantMap { { u"account"_s, u"1100"_s } } << true
        << QStringList { u"A"_s };
    QTest::newRow("an account on every entry")
        << u"journal"_s << QString() << QVariantMap { { u"account"_s, u"4100"_s } } << true
        << QStringList { u"B"_s, u"A"_s };
    QTest::newRow("entries of one operation type")
        << u"journal"_s << QString() << QVariantMap { { u"type"_s, u"invoice"_s } } << true
        << QStringList { u"B"_s };
    QTest::newRow("search in the operation's title")
        << u"journal"_s << u"فاتورة"_s << QVariantMap() << true << QStringList { u"B"_s };
    QTest::newRow("search in the lines' account names")
        << u"journal"_s << u"النقدية"_s << QVariantMap() << true << QStringList { u"A"_s };
}

void TestListModel::chequesAndJournal()
{
    QFETCH(QString, list);
    QFETCH(QString, search);
    QFETCH(QVariantMap, filters);
    QFETCH(bool, descending);
    QFETCH(QStringList, listed);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int c1 = f.addCheque(u"C1"_s, 100, today.addDays(-1));
    f.addCheque(u"C2"_s, 100, today.addDays(5));
    const int c3 = f.addCheque(u"C3"_s, 100, today.addDays(10), u"paid"_s);
    f.addCheque(u"C4"_s, 100, today.addDays(3), u"pending"_s, u"issued"_s);
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE cheques SET bank_name='بنك الاستقلال' WHERE id IN (?,?)"_s, { c1, c3 }));
    const auto account = [&f](const QString &code) {
        return f.scalar(u"SELECT id FROM accounts WHERE code=?"_s, { code }).toInt();
    };
    const auto entry = [&](const QString &text, const QString &type, int days, const QString &debit,
                           const QString &credit) {
        const int id = f.insert(u"INSERT INTO journal_entries (entry_date, description, "
                                "reference_type) VALUES (?,?,?)"_s,
            { TestFixture::iso(today.addDays(days)), text, type });
        f.insert(u"INSERT INTO journal_lines (entry_id, account_id, debit, credit) VALUES "
                 "(?,?,50,0)"_s,
            { id, account(debit) });
        f.insert(u"INSERT INTO journal_lines (entry_id, account_id, debit, credit) VALUES "
                 "(?,?,0,50)"_s,
            { id, account(credit) });
    };
    entry(u"A"_s, u"manual"_s, -2, u"1100"_s, u"4100"_s);
    entry(u"B"_s, u"invoice"_s, -1, u"1200"_s, u"4100"_s);
    if (filters.contains(u"account"_s))
        filters.insert(u"account"_s, account(filters.value(u"account"_s).toString()));
    if (filters.contains(u"pendingAfter"_s))
        filters.insert(u"pendingAfter"_s, TestFixture::iso(today));

    ListCatalog catalog(f.db());
    std::unique_ptr<PagedListModel> rows(catalog.open(list));
    rows->setActive(true);
    rows->setSearch(search);
    rows->setFilters(filters);
    rows->setDescending(descending);
    QStringList shown;
    for (int i = 0; i < rows->count(); ++i) {
        const QVariantMap row = rows->get(i);
        shown << row.value(list == u"cheques"_s ? u"cheque_number"_s : u"description"_s).toString();
    }
    QCOMPARE(shown, listed);
}

void TestListModel::rowsAppearAfterWrite()
{
    TestFixture f;
    f.addTenant(u"ب"_s);
    TenantModel tenants(f.db());
    ListCatalog catalog(f.db());
    catalog.watch(&tenants, { u"tenants"_s });
    std::unique_ptr<PagedListModel> shown(catalog.open(u"tenants"_s));
    std::unique_ptr<PagedListModel> hidden(catalog.open(u"tenants"_s));
    shown->setActive(true);
    QSignalSpy hiddenResets(hidden.get(), &QAbstractItemModel::modelReset);

    QVERIFY(tenants.add(u"أ"_s, u"1"_s, QString(), QString(), QString()) > 0);
    QCOMPARE(shown->count(), 2);
    QCOMPARE(shown->get(0).value(u"full_name"_s).toString(), u"أ"_s);
    // A list whose page is hidden reads nothing until it is shown.
    QCOMPARE(hiddenResets.count(), 0);
    hidden->setSearch(u"أ"_s);
    QCOMPARE(hiddenResets.count(), 0);
    hidden->setActive(true);
    QCOMPARE(hiddenResets.count(), 1);
    QCOMPARE(hidden->count(), 1);

    // A refused write (a duplicate ID number) leaves the list as it was.
    QSignalSpy shownResets(shown.get(), &QAbstractItemModel::modelReset);
    QVERIFY(tenants.add(u"ج"_s, u"1"_s, QString(), QString(), QString()) < 1);
    QCOMPARE(shownResets.count(), 0);

    // A row written between pages neither repeats nor shifts the rows still to come.
    for (int i = 0; i < 5; ++i)
        f.addTenant(u"د"_s + QString::number(i));
    shown->setPageSize(3);
    shown->setSearch(u"د"_s);
    QCOMPARE(shown->count(), 3);
    f.addTenant(u"د"_s);
    shown->fetchMore(QModelIndex());
    const QList<int> listed = ids(*shown);
    QCOMPARE(QSet<int>(listed.cbegin(), listed.cend()).size(), listed.size());
    QCOMPARE(shown->count(), 5);
}

QTEST_GUILESS_MAIN(TestListModel)
#include "tst_listmodel.moc"
