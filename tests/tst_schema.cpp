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
    void olderFileIsMigratedOnce();
    void olderServerGainsLaterVersionsOnce();
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

// A server laid out by the first version gains what later versions added (a column, indexes
// that end with the id, the journal lines' triggers once per statement) in the versions'
// transaction, and records the version so that the next start does nothing.
void TestSchema::olderServerGainsLaterVersionsOnce()
{
    if (TestFixture::serverUrl().isEmpty())
        QSKIP("needs a server: set BELVARDINO_TEST_PG");
    TestFixture f;
    const QString url = f.target();
    // The layout of the first version: no host column, the date index without the id, none of
    // the later indexes, and the journal's triggers once per row.
    const QStringList firstLayout {
        u"ALTER TABLE audit_logs DROP COLUMN host"_s,
        u"DROP INDEX idx_payments_date_id"_s,
        u"CREATE INDEX idx_payments_date ON payments(payment_date)"_s,
        u"DROP INDEX idx_payments_buyer"_s,
        u"DROP INDEX idx_installments_unpaid"_s,
        u"DROP INDEX idx_audit_logs_created"_s,
        u"CREATE OR REPLACE FUNCTION bv_journal_line_posted() RETURNS trigger LANGUAGE plpgsql "
        "AS $f$ BEGIN UPDATE accounts SET balance=round(balance+NEW.debit-NEW.credit, 2) WHERE "
        "id=NEW.account_id; RETURN NULL; END $f$"_s,
        u"CREATE OR REPLACE TRIGGER journal_lines_balance AFTER INSERT ON journal_lines FOR "
        "EACH ROW EXECUTE FUNCTION bv_journal_line_posted()"_s,
        u"CREATE OR REPLACE TRIGGER lock_journal_lines_insert BEFORE INSERT ON journal_lines FOR "
        "EACH ROW WHEN (bv_entry_day(NEW.entry_id) <= bv_lock_date()) EXECUTE FUNCTION "
        "bv_refuse_closed()"_s,
        u"CREATE OR REPLACE TRIGGER lock_journal_entries_insert BEFORE INSERT ON journal_entries "
        "FOR EACH ROW WHEN (date(NEW.entry_date) <= bv_lock_date()) EXECUTE FUNCTION "
        "bv_refuse_closed()"_s,
    };
    for (const QString &statement : firstLayout)
        QVERIFY2(f.db()->execNonQuery(statement), qPrintable(statement));
    QVERIFY(f.db()->execNonQuery(u"DELETE FROM schema_version WHERE version > 1"_s));
    const QString indexes = u"SELECT string_agg(indexname, ',' ORDER BY indexname) FROM "
                            "pg_indexes WHERE indexname LIKE 'idx_payments_date%' OR "
                            "indexname IN ('idx_payments_buyer', 'idx_installments_unpaid', "
                            "'idx_audit_logs_created')"_s;
    const QString hostColumn = u"SELECT COUNT(*) FROM information_schema.columns WHERE "
                               "table_name='audit_logs' AND column_name='host'"_s;
    const QString triggers
        = u"SELECT string_agg(tgname || CASE WHEN tgtype & 1 = 1 THEN ' per row' ELSE '' END, "
          "',' ORDER BY tgname) FROM pg_trigger WHERE tgname IN ('journal_lines_balance', "
          "'lock_journal_lines_insert', 'lock_journal_entries_insert')"_s;
    QCOMPARE(f.scalar(hostColumn).toInt(), 0);

    for (int start = 0; start < 2; ++start) {
        Database reopened;
        QVERIFY(reopened.initialize(url, u"reopened"_s));
        QCOMPARE(f.scalar(hostColumn).toInt(), 1);
        QCOMPARE(f.scalar(indexes).toString(),
            u"idx_audit_logs_created,idx_installments_unpaid,idx_payments_buyer,"
            "idx_payments_date_amount,idx_payments_date_id"_s);
        QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM schema_version WHERE version=?"_s,
                      { Schema::version() })
                     .toInt(),
            1);
        QCOMPARE(f.scalar(triggers).toString(),
            u"journal_lines_balance,lock_journal_entries_insert,lock_journal_lines_insert"_s);
        QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM pg_proc WHERE proname='bv_journal_line_posted'"_s)
                     .toInt(),
            0);
    }
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
