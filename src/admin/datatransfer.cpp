#include "datatransfer.h"

#include "consistencycheck.h"
#include "database.h"
#include "seeddata.h"
#include "transactionguard.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Rows read from the source at a time, and the most values one insert binds (SQLite takes
// 32766, a server 65535).
constexpr int kPage = 5000;
constexpr int kMaxValues = 30000;

QString quoted(const QString &name) { return u'"' + name + u'"'; }

qint64 firstValue(Database *db, const QString &sql, const QVariantList &params = {})
{
    const QVariantMap row = Database::firstRow(db->execQuery(sql, params));
    return row.isEmpty() ? -1 : row.constBegin().value().toLongLong();
}

// Tables a new database fills by itself (the administrator, currencies, accounts, services,
// settings) or on its first login; rows there do not make a target hold data of its own.
QSet<QString> filledByItself()
{
    QSet<QString> tables { u"schema_version"_s, u"audit_logs"_s, u"app_log"_s,
        u"login_attempts"_s };
    static const QRegularExpression into(u"\\bINTO\\s+(\\w+)"_s);
    for (const QString &statement : SeedData::statements() + SeedData::postingAccounts()) {
        const QRegularExpressionMatch match = into.match(statement);
        if (match.hasMatch())
            tables.insert(match.captured(1));
    }
    return tables;
}

} // namespace

DataTransfer::DataTransfer(QObject *parent)
    : QObject(parent)
{
}

QString DataTransfer::targetNotEmptyText()
{
    return u"قاعدة البيانات الهدف فيها بيانات؛ لا يُنقل إلا إلى قاعدة فارغة، ولم يتغير شيء"_s;
}

QString DataTransfer::layoutsDifferText()
{
    return u"جداول المصدر والهدف ليست من إصدار واحد من البرنامج؛ افتح كلاً منهما بهذا الإصدار أولاً، "
           "ولم يتغير شيء"_s;
}

QString DataTransfer::copyFailedText()
{
    return u"تعذر نسخ البيانات، ولم يتغير الهدف ولا المصدر"_s;
}

QString DataTransfer::checkFailedText()
{
    return u"لم تطابق البيانات المنسوخة أصلها، فلم تُحفظ في الهدف ولم يتغير المصدر"_s;
}

bool DataTransfer::fail(const QString &text, const QString &detail)
{
    m_error = detail.isEmpty() ? text : text + u": "_s + detail;
    return false;
}

bool DataTransfer::copy(Database *source, Database *target)
{
    m_error.clear();
    m_counts.clear();
    m_done = 0;
    QString lastError;
    const auto keep = [&lastError](const QString &error) { lastError = error; };
    const QMetaObject::Connection fromSource
        = connect(source, &Database::databaseError, this, keep);
    const QMetaObject::Connection fromTarget
        = connect(target, &Database::databaseError, this, keep);
    const auto done = [&](bool ok) {
        disconnect(fromSource);
        disconnect(fromTarget);
        if (!ok) {
            m_counts.clear();
            if (!lastError.isEmpty())
                m_error += u" ("_s + lastError + u")"_s;
        }
        return ok;
    };

    // The source is read as one snapshot: rows written meanwhile are all in or all out.
    if (!source->execNonQuery(
            source->isServer() ? u"BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"_s : u"BEGIN"_s))
        return done(fail(copyFailedText()));
    const auto endRead = qScopeGuard([source] { source->execNonQuery(u"ROLLBACK"_s); });

    const QStringList tables = tablesInOrder(source);
    QStringList sorted = tables;
    QStringList targetTables = tablesInOrder(target);
    std::sort(sorted.begin(), sorted.end());
    std::sort(targetTables.begin(), targetTables.end());
    const QString version = u"SELECT MAX(version) AS v FROM schema_version"_s;
    if (tables.isEmpty() || sorted != targetTables
        || firstValue(source, version) != firstValue(target, version))
        return done(fail(layoutsDifferText()));
    QHash<QString, QStringList> columns;
    for (const QString &table : tables) {
        QStringList mine = columnsOf(source, table);
        QStringList theirs = columnsOf(target, table);
        columns.insert(table, mine);
        std::sort(mine.begin(), mine.end());
        std::sort(theirs.begin(), theirs.end());
        if (mine.isEmpty() || mine != theirs)
            return done(fail(layoutsDifferText(), table));
    }
    if (holdsData(target))
        return done(fail(targetNotEmptyText()));

    qint64 total = 0;
    for (const QString &table : tables)
        total += firstValue(source, u"SELECT COUNT(*) AS c FROM "_s + quoted(table));

    TransactionGuard guard(target);
    if (!guard.isActive() || !triggersOff(target, tables))
        return done(fail(copyFailedText()));
    // What the new database wrote by itself makes way for the source's rows, children first.
    for (auto it = tables.crbegin(); it != tables.crend(); ++it) {
        if (!target->execNonQuery(u"DELETE FROM "_s + quoted(*it)))
            return done(fail(copyFailedText(), *it));
    }
    for (const QString &table : tables) {
        if (!copyTable(source, target, table, columns.value(table), total))
            return done(fail(copyFailedText(), table));
    }
    if (!restartIds(target, tables) || !triggersOn(target, tables))
        return done(fail(copyFailedText()));
    if (!verify(source, target, tables))
        return done(false);
    if (!guard.commit())
        return done(fail(copyFailedText()));
    return done(true);
}

QStringList DataTransfer::tablesInOrder(Database *db)
{
    const QVariantList rows = db->execQuery(db->isServer()
            ? u"SELECT table_name AS name FROM information_schema.tables WHERE table_schema = "
              "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name"_s
            : u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
              "ORDER BY name"_s);
    QStringList pending;
    for (const QVariant &row : rows) {
        const QString name = row.toMap().value(u"name"_s).toString();
        if (name != u"schema_version"_s)
            pending.append(name);
    }
    QHash<QString, QStringList> parents;
    for (const QString &table : std::as_const(pending)) {
        const QVariantList references = db->execQuery(db->isServer()
                ? u"SELECT DISTINCT confrelid::regclass::text AS parent FROM pg_constraint "
                  "WHERE contype = 'f' AND conrelid = to_regclass(?)"_s
                : u"SELECT DISTINCT \"table\" AS parent FROM pragma_foreign_key_list(?)"_s,
            { table });
        for (const QVariant &row : references) {
            const QString parent = row.toMap().value(u"parent"_s).toString();
            if (parent != table && pending.contains(parent))
                parents[table].append(parent);
        }
    }
    QStringList ordered;
    while (!pending.isEmpty()) {
        const qsizetype before = pending.size();
        for (auto it = pending.begin(); it != pending.end();) {
            const QStringList &needed = parents.value(*it);
            if (std::all_of(needed.begin(), needed.end(),
                    [&ordered](const QString &parent) { return ordered.contains(parent); })) {
                ordered.append(*it);
                it = pending.erase(it);
            } else {
                ++it;
            }
        }
        // Tables that refer to each other go in name order; the copy then fails and says where.
        if (pending.size() == before) {
            ordered += pending;
            break;
        }
    }
    return ordered;
}

QStringList DataTransfer::columnsOf(Database *db, const QString &table)
{
    const QVariantList rows = db->execQuery(db->isServer()
            ? u"SELECT column_name AS name FROM information_schema.columns WHERE table_schema = "
              "current_schema() AND table_name = ? ORDER BY ordinal_position"_s
            : u"SELECT name FROM pragma_table_info(?) ORDER BY cid"_s,
        { table });
    QStringList names;
    for (const QVariant &row : rows)
        names.append(row.toMap().value(u"name"_s).toString());
    return names;
}

bool DataTransfer::holdsData(Database *db)
{
    const QSet<QString> own = filledByItself();
    for (const QString &table : tablesInOrder(db)) {
        if (own.contains(table))
            continue;
        if (firstValue(db,
                u"SELECT COUNT(*) AS c FROM (SELECT 1 FROM %1 LIMIT 1) AS x"_s.arg(quoted(table)))
            != 0)
            return true;
    }
    // A new database has its administrator only.
    return firstValue(db, u"SELECT COUNT(*) AS c FROM users"_s) > 1;
}

bool DataTransfer::copyTable(Database *source, Database *target, const QString &table,
    const QStringList &columns, qint64 total)
{
    QStringList names;
    for (const QString &column : columns)
        names.append(quoted(column));
    const QString list = names.join(u',');
    const QString row = u"("_s + QStringList(columns.size(), u"?"_s).join(u',') + u")"_s;
    const int perInsert = std::max(1, std::min(500, kMaxValues / int(columns.size())));
    // Rows in id order, so that a row referring to an earlier one of its table (an account's
    // parent) finds it there.
    const bool byId = columns.contains(u"id"_s);
    const QString read = byId
        ? u"SELECT %1 FROM %2 WHERE id > ? ORDER BY id LIMIT %3"_s.arg(list, quoted(table))
              .arg(kPage)
        : u"SELECT %1 FROM %2"_s.arg(list, quoted(table));

    qint64 lastId = 0;
    qint64 copied = 0;
    while (true) {
        const QVariantList rows
            = byId ? source->execQuery(read, { lastId }) : source->execQuery(read);
        for (qsizetype start = 0; start < rows.size(); start += perInsert) {
            const qsizetype count = std::min<qsizetype>(perInsert, rows.size() - start);
            QVariantList values;
            values.reserve(count * columns.size());
            for (qsizetype i = start; i < start + count; ++i) {
                const QVariantMap fields = rows.at(i).toMap();
                for (const QString &column : columns)
                    values.append(fields.value(column));
            }
            const QString insert = u"INSERT INTO %1 (%2) VALUES "_s.arg(quoted(table), list)
                + QStringList(count, row).join(u',');
            if (!target->execNonQuery(insert, values))
                return false;
        }
        copied += rows.size();
        m_done += rows.size();
        emit progress(m_done, total, table);
        if (!byId || rows.size() < kPage)
            break;
        lastId = rows.constLast().toMap().value(u"id"_s).toLongLong();
    }
    m_counts.insert(table, copied);
    return true;
}

// The copied rows already hold what the triggers would write (an account's balance from its
// journal lines, the audit of each change) and may be older than the lock date, which the
// triggers refuse. A server switches its triggers off for the transaction; a file's are dropped
// and made again from their own text, in the same transaction.
bool DataTransfer::triggersOff(Database *target, const QStringList &tables)
{
    if (target->isServer()) {
        for (const QString &table : tables) {
            if (!target->execNonQuery(u"ALTER TABLE %1 DISABLE TRIGGER USER"_s.arg(quoted(table))))
                return false;
        }
        return true;
    }
    m_fileTriggers.clear();
    const QVariantList triggers = target->execQuery(
        u"SELECT name, sql FROM sqlite_master WHERE type = 'trigger' ORDER BY name"_s);
    for (const QVariant &element : triggers) {
        const QVariantMap trigger = element.toMap();
        m_fileTriggers.append(trigger.value(u"sql"_s).toString());
        if (!target->execNonQuery(u"DROP TRIGGER "_s + quoted(trigger.value(u"name"_s).toString())))
            return false;
    }
    return true;
}

bool DataTransfer::triggersOn(Database *target, const QStringList &tables)
{
    if (target->isServer()) {
        for (const QString &table : tables) {
            if (!target->execNonQuery(u"ALTER TABLE %1 ENABLE TRIGGER USER"_s.arg(quoted(table))))
                return false;
        }
        return true;
    }
    for (const QString &trigger : std::as_const(m_fileTriggers)) {
        if (!target->execNonQuery(trigger))
            return false;
    }
    return true;
}

// New rows continue after the copied ids.
bool DataTransfer::restartIds(Database *target, const QStringList &tables)
{
    for (const QString &table : tables) {
        if (!m_counts.contains(table) || !columnsOf(target, table).contains(u"id"_s))
            continue;
        const bool ok = target->isServer()
            ? target->execNonQuery(
                u"SELECT setval(s, COALESCE((SELECT MAX(id) FROM %1), 0) + 1, false) FROM "
                "(SELECT pg_get_serial_sequence(?, 'id') AS s) AS q WHERE s IS NOT NULL"_s.arg(
                    quoted(table)),
                { table })
            : target->execNonQuery(u"UPDATE sqlite_sequence SET seq = (SELECT COALESCE(MAX(id), "
                                   "0) FROM %1) WHERE name = ?"_s.arg(quoted(table)),
                { table });
        if (!ok)
            return false;
    }
    return true;
}

bool DataTransfer::verify(Database *source, Database *target, const QStringList &tables)
{
    for (const QString &table : tables) {
        const QString count = u"SELECT COUNT(*) AS c FROM "_s + quoted(table);
        const qint64 expected = firstValue(source, count);
        const qint64 found = firstValue(target, count);
        if (expected < 0 || found != expected || m_counts.value(table) != expected)
            return fail(
                checkFailedText(), u"%1: %2 rows, %3 copied"_s.arg(table).arg(expected).arg(found));
    }
    // The copy adds no finding of its own; what the source already holds (a balance a stray
    // edit left off by a cent) travels with it rather than keeping the office on the file.
    const QStringList before = ConsistencyCheck(source).run();
    for (const QString &finding : ConsistencyCheck(target).run()) {
        if (!before.contains(finding))
            return fail(checkFailedText(), finding);
    }
    return true;
}
