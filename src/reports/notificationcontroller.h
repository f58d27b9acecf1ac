#pragma once

#include <QObject>

class Database;

class NotificationController : public QObject
{
    Q_OBJECT
public:
    explicit NotificationController(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
