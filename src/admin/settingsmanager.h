#pragma once

#include <QObject>

class Database;

class SettingsManager : public QObject
{
    Q_OBJECT
public:
    explicit SettingsManager(Database *db, QObject *parent = nullptr);

private:
    Database *m_db;
};
