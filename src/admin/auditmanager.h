#pragma once

#include <QObject>
#include <QVariantList>

class Database;

// The audit trail of user actions, newest first with the acting user's name.
class AuditManager : public QObject
{
    Q_OBJECT
public:
    explicit AuditManager(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE void log(int userId, const QString &action, const QString &table = QString(),
        int recordId = 0, const QString &details = QString());
    Q_INVOKABLE QVariantList getLogs(int limit = 100);
    // One page of the trail, newest first. userId 0 and empty texts match everything; dates
    // (yyyy-MM-dd) are inclusive.
    Q_INVOKABLE QVariantList getLogsPage(int userId, const QString &entity, const QString &from,
        const QString &to, int offset, int limit);
    Q_INVOKABLE int countLogs(
        int userId, const QString &entity, const QString &from, const QString &to);
    // The recorded tables with their Arabic names, for the entity filter.
    Q_INVOKABLE QVariantList getEntities();

private:
    // Each row with entity_label, the Arabic name of its table.
    static QVariantList withLabels(QVariantList rows);

    Database *m_db;
};
