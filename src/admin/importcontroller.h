#pragma once

#include <QObject>

class Database;

class ImportController : public QObject
{
    Q_OBJECT
public:
    explicit ImportController(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
