#pragma once

#include <QObject>

class Database;

class ReportController : public QObject
{
    Q_OBJECT
public:
    explicit ReportController(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
