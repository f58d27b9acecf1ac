#include "auditmanager.h"

#include "audittrail.h"
#include "database.h"
#include "session.h"

#include <QHash>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The SQL driver binds a null QString as NULL; omitted texts are stored as empty strings.
QString orEmpty(const QString &text) { return text.isNull() ? u""_s : text; }

// A limit that takes every row: a server refuses SQLite's negative one.
constexpr qint64 kEveryRow = std::numeric_limits<qint64>::max();

} // namespace

AuditManager::AuditManager(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

void AuditManager::log(
    int userId, const QString &action, const QString &table, int recordId, const QString &details)
{
    if (!Session::permits(m_db, Permissions::Operation::DailyWork))
        return;
    // Callers from the interface do not know who is logged in; the session does.
    Session *session = m_db->session();
    if (userId <= 0 && session && session->isActive())
        userId = session->userId();
    m_db->execNonQuery(u"INSERT INTO audit_logs (user_id, action, table_name, record_id, details, "
                       "host) VALUES (?, ?, ?, ?, ?, ?)"_s,
        { userId, action, orEmpty(table), recordId, orEmpty(details), AuditTrail::computerName() });
}

QVariantList AuditManager::getLogs(int limit)
{
    return withLabels(
        m_db->execQuery(u"SELECT a.*, u.username FROM audit_logs a LEFT JOIN users u ON "
                        "a.user_id = u.id ORDER BY a.created_at DESC, a.id DESC LIMIT ?"_s,
            { limit < 0 ? kEveryRow : limit }));
}

QVariantList AuditManager::getLogsPage(int userId, const QString &entity, const QString &from,
    const QString &to, int offset, int limit)
{
    return withLabels(m_db->execQuery(
        u"SELECT a.*, u.username FROM audit_logs a LEFT JOIN users u ON a.user_id = u.id "
        "WHERE (? <= 0 OR a.user_id = ?) AND (? = '' OR a.table_name = ?) "
        "AND (? = '' OR a.created_at >= ?) AND (? = '' OR a.created_at < date(?, '+1 day')) "
        "ORDER BY a.created_at DESC, a.id DESC LIMIT ? OFFSET ?"_s,
        { userId, userId, orEmpty(entity), orEmpty(entity), orEmpty(from), orEmpty(from),
            orEmpty(to), orEmpty(to), qMax(limit, 1), qMax(offset, 0) }));
}

int AuditManager::countLogs(
    int userId, const QString &entity, const QString &from, const QString &to)
{
    return Database::firstRow(
        m_db->execQuery(u"SELECT COUNT(*) AS c FROM audit_logs a "
                        "WHERE (? <= 0 OR a.user_id = ?) AND (? = '' OR a.table_name = ?) "
                        "AND (? = '' OR a.created_at >= ?) "
                        "AND (? = '' OR a.created_at < date(?, '+1 day'))"_s,
            { userId, userId, orEmpty(entity), orEmpty(entity), orEmpty(from), orEmpty(from),
                orEmpty(to), orEmpty(to) }))
        .value(u"c"_s)
        .toInt();
}

QVariantList AuditManager::getEntities()
{
    QVariantList entities;
    for (const auto &[table, label] : AuditTrail::recordedTables())
        entities.append(QVariantMap { { u"table"_s, table }, { u"label"_s, label } });
    return entities;
}

QVariantList AuditManager::withLabels(QVariantList rows)
{
    static const auto labels = [] {
        QHash<QString, QString> map;
        for (const auto &[table, label] : AuditTrail::recordedTables())
            map.insert(table, label);
        return map;
    }();
    for (QVariant &row : rows) {
        QVariantMap map = row.toMap();
        map.insert(u"entity_label"_s, labels.value(map.value(u"table_name"_s).toString()));
        row = map;
    }
    return rows;
}
