#include "database.h"

#include "passwordhasher.h"
#include "schema.h"
#include "seeddata.h"

#include <QMutexLocker>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Column names in key order, each with the position of the last column of that name (a later
// column overwrites an earlier one of the same name, as callers rely on).
using ColumnOrder = std::vector<std::pair<QString, int>>;

ColumnOrder columnOrder(const QSqlRecord &record)
{
    std::map<QString, int> last;
    for (int i = 0; i < record.count(); ++i)
        last[record.fieldName(i)] = i;
    return ColumnOrder(last.begin(), last.end());
}

QVariantMap rowMap(const QSqlQuery &query, const ColumnOrder &columns)
{
    // Keys arrive sorted, so each insertion lands at the end without a search.
    std::map<QString, QVariant> row;
    for (const auto &[name, index] : columns)
        row.emplace_hint(row.end(), name, query.value(index));
    return QVariantMap(std::move(row));
}

} // namespace

Database::Database(QObject *parent)
    : QObject(parent)
{
}

Database::~Database()
{
    m_statements.clear();
    if (m_db.isOpen())
        m_db.close();
}

bool Database::initialize(const QString &path)
{
    // A later Database (tests open one per case) takes over the registered default connection.
    m_db = QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection))
        ? QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false)
        : QSqlDatabase::addDatabase(u"QSQLITE"_s);
    m_statements.clear();
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

QSqlQuery *Database::run(const QString &sql, const QVariantList &params, QString *error)
{
    // Bounded by the program's fixed statement texts; the cap guards against callers that
    // build texts on the fly.
    constexpr int kMaxStatements = 512;
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto it = m_statements.find(sql);
        const bool cached = it != m_statements.end();
        if (!cached) {
            if (m_statements.size() >= kMaxStatements)
                m_statements.clear();
            QSqlQuery query(m_db);
            query.setForwardOnly(true);
            if (!query.prepare(sql)) {
                *error = query.lastError().text();
                return nullptr;
            }
            it = m_statements.insert(sql, query);
        }
        QSqlQuery &query = it.value();
        for (int i = 0; i < params.size(); ++i)
            query.bindValue(i, params.at(i));
        if (query.exec()) {
            *error = QString();
            return &query;
        }
        *error = query.lastError().text();
        query.finish();
        m_statements.erase(it);
        // A cached statement also fails when the connection was closed and reopened under it
        // (a restore does that); prepare it afresh once. A statement that fails on its own
        // merits fails the same way again and changes nothing, since SQLite undoes it whole.
        if (!cached)
            return nullptr;
    }
    return nullptr;
}

QVariantList Database::execQuery(const QString &sql, const QVariantList &params)
{
    QVariantList rows;
    QString error;
    {
        QMutexLocker locker(&m_lock);
        if (QSqlQuery *query = run(sql, params, &error)) {
            const ColumnOrder columns = columnOrder(query->record());
            while (query->next())
                rows.append(rowMap(*query, columns));
            query->finish();
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
        if (QSqlQuery *query = run(sql, params, &error)) {
            query->finish();
            return true;
        }
    }
    emit databaseError(error);
    return false;
}

int Database::execInsert(const QString &sql, const QVariantList &params)
{
    QString error;
    {
        QMutexLocker locker(&m_lock);
        if (QSqlQuery *query = run(sql, params, &error)) {
            const int id = query->lastInsertId().toInt();
            query->finish();
            return id;
        }
    }
    emit databaseError(error);
    return -1;
}

QVariantMap Database::getById(const QString &table, int id)
{
    QMutexLocker locker(&m_lock);
    QString error;
    QVariantMap row;
    if (QSqlQuery *query = run(u"SELECT * FROM "_s + table + u" WHERE id=?"_s, { id }, &error)) {
        if (query->next())
            row = rowMap(*query, columnOrder(query->record()));
        query->finish();
    }
    return row;
}

bool Database::beginTransaction() { return m_db.transaction(); }

bool Database::commitTransaction() { return m_db.commit(); }

bool Database::rollbackTransaction() { return m_db.rollback(); }

QVariantMap Database::firstRow(const QVariantList &rows)
{
    return rows.isEmpty() ? QVariantMap() : rows.constFirst().toMap();
}
