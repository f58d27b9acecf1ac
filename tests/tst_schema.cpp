#include "testfixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void olderFileIsMigratedOnce();
};

// An older units table gains its new columns; opening the file again changes nothing.
void TestSchema::olderFileIsMigratedOnce()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/belvardino.db"_s;
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"older"_s);
        old.setDatabaseName(path);
        QVERIFY(old.open());
        QSqlQuery q(old);
        QVERIFY(q.exec(u"CREATE TABLE units (id INTEGER PRIMARY KEY AUTOINCREMENT, property_id "
                       "INTEGER NOT NULL, unit_number TEXT NOT NULL, status TEXT DEFAULT "
                       "'available')"_s));
        QVERIFY(q.exec(u"INSERT INTO units (property_id, unit_number) VALUES (1, 'A')"_s));
        old.close();
    }
    QSqlDatabase::removeDatabase(u"older"_s);
    const auto schemaOf = [](Database &db) {
        QString sql;
        for (const QVariant &row : db.execQuery(u"SELECT sql FROM sqlite_master ORDER BY name"_s))
            sql += row.toMap().value(u"sql"_s).toString();
        return sql;
    };
    const QString sale = u"SELECT unit_number || '/' || IFNULL(buyer_id, '-') || '/' || "
                         "IFNULL(sale_price_actual, '-') || '/' || IFNULL(sale_date, '-') AS r "
                         "FROM units"_s;
    QString before;
    {
        Database db;
        QVERIFY(db.initialize(path));
        QCOMPARE(Database::firstRow(db.execQuery(sale)).value(u"r"_s).toString(), u"A/-/-/-"_s);
        before = schemaOf(db);
    }
    Database again;
    QVERIFY(again.initialize(path));
    QCOMPARE(schemaOf(again), before);
    QCOMPARE(again.execQuery(sale).size(), 1);
    QCOMPARE(Database::firstRow(again.execQuery(u"PRAGMA journal_mode"_s))
                 .value(u"journal_mode"_s)
                 .toString(),
        u"wal"_s);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
