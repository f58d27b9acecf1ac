#include "database.h"

#include "passwordhasher.h"
#include "schema.h"
#include "seeddata.h"

#include <QMutexLocker>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

QVariantMap rowMap(const QSqlQuery &query, const QSqlRecord &record)
{
    QVariantMap row;
    // Later columns overwrite earlier ones of the same name, as callers rely on.
    for (int i = 0; i < record.count(); ++i)
        row.insert(record.fieldName(i), query.value(i));
    return row;
}

} // namespace

Database::Database(QObject *parent)
    : QObject(parent)
{
}

Database::~Database()
{
    if (m_db.isOpen())
        m_db.close();
}

bool Database::initialize(const QString &path)
{
    // A later Database (tests open one per case) takes over the registered default connection.
    m_db = QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection))
        ? QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false)
        : QSqlDatabase::addDatabase(u"QSQLITE"_s);
    if (m_db.isOpen())
        m_db.close();
    m_db.setDatabaseName(path);
    if (!m_db.open()) {
        emit databaseError(m_db.lastError().text());
        return false;
    }
    configureConnection();
    createTables();
    createIndexes();
    seedDefaults();
    upgradePlainPasswords();
    return true;
}

void Database::configureConnection()
{
    QSqlQuery query(m_db);
    for (const QString &pragma : Schema::pragmaStatements())
        query.exec(pragma);
}

void Database::createTables()
{
    // Migrations that find their column already present fail by design; results are ignored.
    QSqlQuery query(m_db);
    for (const QString &statement : Schema::tableStatements())
        query.exec(statement);
}

void Database::createIndexes()
{
    QSqlQuery query(m_db);
    for (const QString &statement : Schema::indexStatements())
        query.exec(statement);
}

void Database::seedDefaults()
{
    QSqlQuery query(m_db);
    if (query.exec(u"SELECT COUNT(*) FROM users"_s) && query.next() && query.value(0).toInt() > 0)
        return;
    query.finish();

    m_db.transaction();
    const QString adminHash = PasswordHasher::hash(SeedData::adminPassword());
    bool first = true;
    for (const QString &statement : SeedData::statements()) {
        if (first) {
            // The administrator's password is stored hashed, never as its plain text.
            query.prepare(statement);
            query.addBindValue(adminHash);
            query.exec();
            first = false;
        } else {
            query.exec(statement);
        }
    }
    m_db.commit();
}

void Database::upgradePlainPasswords()
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT id, password_hash FROM users"_s))
        return;
    QList<QPair<int, QString>> plain;
    while (query.next()) {
        const QString stored = query.value(1).toString();
        if (!PasswordHasher::isHash(stored))
            plain.append({ query.value(0).toInt(), stored });
    }
    query.finish();
    if (plain.isEmpty())
        return;

    m_db.transaction();
    bool ok = true;
    for (const auto &[id, password] : plain) {
        const QString hashed = PasswordHasher::hash(password);
        query.prepare(u"UPDATE users SET password_hash=? WHERE id=?"_s);
        query.addBindValue(hashed);
        query.addBindValue(id);
        ok = !hashed.isEmpty() && query.exec() && ok;
    }
    if (ok)
        m_db.commit();
    else
        m_db.rollback();
}

bool Database::prepareAndRun(QSqlQuery &query, const QString &sql, const QVariantList &params)
{
    if (!query.prepare(sql))
        return false;
    for (int i = 0; i < params.size(); ++i)
        query.bindValue(i, params.at(i));
    return query.exec();
}

QVariantList Database::execQuery(const QString &sql, const QVariantList &params)
{
    QVariantList rows;
    QString error;
    {
        QMutexLocker locker(&m_lock);
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!prepareAndRun(query, sql, params)) {
            error = query.lastError().text();
        } else {
            const QSqlRecord record = query.record();
            while (query.next())
                rows.append(rowMap(query, record));
        }
    }
    if (!error.isNull())
        emit databaseError(error);
    return rows;
}

bool Database::execNonQuery(const QString &sql, const QVariantList &params)
{
    QString error;
    {
        QMutexLocker locker(&m_lock);
        QSqlQuery query(m_db);
        if (prepareAndRun(query, sql, params))
            return true;
        error = query.lastError().text();
    }
    emit databaseError(error);
    return false;
}

int Database::execInsert(const QString &sql, const QVariantList &params)
{
    QString error;
    {
        QMutexLocker locker(&m_lock);
        QSqlQuery query(m_db);
        if (prepareAndRun(query, sql, params))
            return query.lastInsertId().toInt();
        error = query.lastError().text();
    }
    emit databaseError(error);
    return -1;
}

QVariantMap Database::getById(const QString &table, int id)
{
    QMutexLocker locker(&m_lock);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (prepareAndRun(query, u"SELECT * FROM "_s + table + u" WHERE id=?"_s, { id }) && query.next())
        return rowMap(query, query.record());
    return {};
}

bool Database::beginTransaction()
{
    return m_db.transaction();
}

bool Database::commitTransaction()
{
    return m_db.commit();
}

bool Database::rollbackTransaction()
{
    return m_db.rollback();
}

QVariantMap Database::firstRow(const QVariantList &rows)
{
    return rows.isEmpty() ? QVariantMap() : rows.constFirst().toMap();
}
