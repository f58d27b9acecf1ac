#include "schema.h"
#include "testfixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void freshFileHasEveryTable();
    void olderUnitsTableIsMigrated();
    void reinitialisingChangesNothing();
};

void TestSchema::freshFileHasEveryTable()
{
    TestFixture f;
    for (const QString &table : Schema::applicationTables())
        QVERIFY2(!f.columnsOf(table).isEmpty(), qPrintable(table));
    QCOMPARE(f.scalar(u"PRAGMA journal_mode"_s).toString(), u"wal"_s);
    QCOMPARE(f.scalar(u"PRAGMA foreign_keys"_s).toInt(), 1);
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
    const QVariantMap row = Database::firstRow(db.execQuery(
        u"SELECT unit_number || '/' || IFNULL(buyer_id, '-') || '/' || "
        "IFNULL(sale_price_actual, '-') || '/' || IFNULL(sale_date, '-') AS r FROM units"_s));
    QCOMPARE(row.value(u"r"_s).toString(), u"A/-/-/-"_s);
}

void TestSchema::reinitialisingChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    const auto schemaOf = [](Database &db) {
        QString sql;
        for (const QVariant &row : db.execQuery(u"SELECT sql FROM sqlite_master ORDER BY name"_s))
            sql += row.toMap().value(u"sql"_s).toString();
        return sql;
    };
    QString before;
    {
        Database db;
        QVERIFY(db.initialize(path));
        db.execInsert(u"INSERT INTO tenants (full_name) VALUES ('باقٍ')"_s);
        before = schemaOf(db);
    }
    Database again;
    QVERIFY(again.initialize(path));
    QCOMPARE(schemaOf(again), before);
    QCOMPARE(again.execQuery(u"SELECT * FROM tenants"_s).size(), 1);
    QCOMPARE(again.execQuery(u"SELECT * FROM users"_s).size(), 1);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
