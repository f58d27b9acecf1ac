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

private:
    Database *m_db;
};
