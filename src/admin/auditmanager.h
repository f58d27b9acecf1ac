#pragma once

#include <QObject>

class Database;

class AuditManager : public QObject
{
    Q_OBJECT
public:
    explicit AuditManager(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
