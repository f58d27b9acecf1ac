#pragma once

#include <QObject>

class Database;

class AuthController : public QObject
{
    Q_OBJECT
public:
    explicit AuthController(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
