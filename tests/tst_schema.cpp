#include "schema.h"
#include "testfixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList columnsOf(Database *db, const QString &table)
{
    QStringList names;
    for (const QVariant &row : db->execQuery(u"PRAGMA table_info("_s + table + u")"_s))
        names << row.toMap().value(u"name"_s).toString();
    return names;
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void statementCounts();
    void freshFileHasEveryTable();
    void columnOrder_data();
    void columnOrder();
    void everyIndexExists();
    void olderUnitsTableIsMigrated();
    void reinitialisingChangesNothing();
    void uniqueKeys_data();
    void uniqueKeys();
};

void TestSchema::statementCounts()
{
    QCOMPARE(Schema::tableStatements().size(), 44);
    QCOMPARE(Schema::indexStatements().size(), 33);
}

void TestSchema::freshFileHasEveryTable()
{
    TestFixture f;
    for (const QString &table : Schema::applicationTables())
        QVERIFY2(!columnsOf(f.db(), table).isEmpty(), qPrintable(table));
    QCOMPARE(f.scalar(u"PRAGMA journal_mode"_s).toString(), u"wal"_s);
    QCOMPARE(f.scalar(u"PRAGMA foreign_keys"_s).toInt(), 1);
}

void TestSchema::columnOrder_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("expenses") << u"expenses"_s
                              << u"id,property_id,unit_id,category,description,amount,expense_date,"
                                 "vendor,maintenance_id,currency_id,created_at,project_id,"
                                 "contractor_id,cost_center_id,work_category"_s.split(u',');
    QTest::newRow("journal_entries")
        << u"journal_entries"_s
        << u"id,entry_date,description,reference_type,reference_id,created_at,project_id,"
           "cost_center_id,contractor_id"_s.split(u',');
    QTest::newRow("payments") << u"payments"_s
                              << u"id,invoice_id,tenant_id,amount,payment_method,payment_date,"
                                 "reference,currency_id,notes,created_at,buyer_id,unit_id"_s.split(
                                     u',');
}

void TestSchema::columnOrder()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    TestFixture f;
    QCOMPARE(columnsOf(f.db(), table), columns);
}

void TestSchema::everyIndexExists()
{
    TestFixture f;
    QStringList names;
    for (const QVariant &row : f.db()->execQuery(
             u"SELECT name FROM sqlite_master WHERE type='index' AND name LIKE 'idx_%'"_s))
        names << row.toMap().value(u"name"_s).toString();
    const QStringList expected
        = u"idx_units_property idx_units_status idx_contracts_unit "
          "idx_contracts_tenant idx_contracts_status idx_invoices_tenant "
          "idx_invoices_status idx_payments_invoice idx_payments_tenant "
          "idx_payments_date idx_expenses_property idx_cheques_status "
          "idx_maintenance_status idx_journal_date idx_installments_buyer "
          "idx_installments_due idx_installments_status idx_exchange_date "
          "idx_expenses_contractor idx_expenses_date idx_cheques_due "
          "idx_cheques_type idx_invoices_period idx_units_buyer "
          "idx_contracts_tenant_status idx_invoices_unit idx_invoices_created idx_payments_day idx_invoices_open "
          "idx_maintenance_created idx_installments_open idx_cheques_status_due "
          "idx_payments_date_amount"_s.split(u' ');
    names.sort();
    QStringList sorted = expected;
    sorted.sort();
    QCOMPARE(names, sorted);
}

void TestSchema::olderUnitsTableIsMigrated()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"older"_s);
        old.setDatabaseName(path);
        QVERIFY(old.open());
        QSqlQuery q(old);
        QVERIFY(q.exec(u"CREATE TABLE properties (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT "
                       "NOT NULL, type TEXT NOT NULL DEFAULT 'residential')"_s));
        QVERIFY(q.exec(u"CREATE TABLE units (id INTEGER PRIMARY KEY AUTOINCREMENT, property_id "
                       "INTEGER NOT NULL, unit_number TEXT NOT NULL, status TEXT DEFAULT "
                       "'available')"_s));
        QVERIFY(q.exec(u"INSERT INTO properties (name) VALUES ('قديم')"_s));
        QVERIFY(q.exec(u"INSERT INTO units (property_id, unit_number) VALUES (1, 'A')"_s));
        old.close();
    }
    QSqlDatabase::removeDatabase(u"older"_s);

    Database db;
    QVERIFY(db.initialize(path));
    const QStringList columns = columnsOf(&db, u"units"_s);
    QCOMPARE(columns.mid(columns.size() - 3),
        (QStringList { u"buyer_id"_s, u"sale_price_actual"_s, u"sale_date"_s }));
    const QVariantMap row = Database::firstRow(db.execQuery(u"SELECT * FROM units"_s));
    QCOMPARE(row.value(u"unit_number"_s).toString(), u"A"_s);
    QVERIFY(row.value(u"buyer_id"_s).isNull());
    QVERIFY(row.value(u"sale_date"_s).isNull());
}

void TestSchema::reinitialisingChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    QString before;
    {
        Database db;
        QVERIFY(db.initialize(path));
        db.execInsert(u"INSERT INTO tenants (full_name) VALUES ('باقٍ')"_s);
        for (const QVariant &row : db.execQuery(u"SELECT sql FROM sqlite_master ORDER BY name"_s))
            before += row.toMap().value(u"sql"_s).toString();
    }
    Database again;
    QVERIFY(again.initialize(path));
    QString after;
    for (const QVariant &row : again.execQuery(u"SELECT sql FROM sqlite_master ORDER BY name"_s))
        after += row.toMap().value(u"sql"_s).toString();
    QCOMPARE(after, before);
    QCOMPARE(again.execQuery(u"SELECT * FROM tenants"_s).size(), 1);
    QCOMPARE(again.execQuery(u"SELECT * FROM users"_s).size(), 1);
}

void TestSchema::uniqueKeys_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same unit number, same property")
        << u"INSERT INTO units (property_id, unit_number) VALUES (1, 'A1')"_s
        << u"INSERT INTO units (property_id, unit_number) VALUES (1, 'A1')"_s << false;
    QTest::newRow("same unit number, other property")
        << u"INSERT INTO units (property_id, unit_number) VALUES (1, 'A1')"_s
        << u"INSERT INTO units (property_id, unit_number) VALUES (2, 'A1')"_s << true;
    QTest::newRow("two NULL identity numbers")
        << u"INSERT INTO tenants (full_name, id_number) VALUES ('a', NULL)"_s
        << u"INSERT INTO tenants (full_name, id_number) VALUES ('b', NULL)"_s << true;
    QTest::newRow("two empty identity numbers")
        << u"INSERT INTO buyers (full_name, id_number) VALUES ('a', '')"_s
        << u"INSERT INTO buyers (full_name, id_number) VALUES ('b', '')"_s << false;
    QTest::newRow("same rate pair and date")
        << u"INSERT INTO exchange_rates (from_currency_id, to_currency_id, rate, date) VALUES (2, 1, 3.6, '2024-01-01')"_s
        << u"INSERT INTO exchange_rates (from_currency_id, to_currency_id, rate, date) VALUES (2, 1, 3.7, '2024-01-01')"_s
        << false;
}

void TestSchema::uniqueKeys()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, accepted);
    TestFixture f;
    f.addProperty(u"أ"_s);
    f.addProperty(u"ب"_s);
    QVERIFY(f.db()->execInsert(first) > 0);
    QCOMPARE(f.db()->execInsert(second) > 0, accepted);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
