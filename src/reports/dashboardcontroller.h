#pragma once

#include <QObject>

class Database;

class DashboardController : public QObject
{
    Q_OBJECT
public:
    explicit DashboardController(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
