#pragma once

#include <QMutex>
#include <QObject>
#include <QSqlDatabase>
#include <QVariantList>
#include <QVariantMap>

class QSqlQuery;

// Owner of the program's single SQLite connection (Qt's default connection name).
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    bool initialize(const QString &path);

    Q_INVOKABLE QVariantList execQuery(const QString &sql, const QVariantList &params = {});
    Q_INVOKABLE bool execNonQuery(const QString &sql, const QVariantList &params = {});
    Q_INVOKABLE int execInsert(const QString &sql, const QVariantList &params = {});
    Q_INVOKABLE QVariantMap getById(const QString &table, int id);

    Q_INVOKABLE bool beginTransaction();
    Q_INVOKABLE bool commitTransaction();
    Q_INVOKABLE bool rollbackTransaction();

    // The first row of a row list, or an empty map.
    static QVariantMap firstRow(const QVariantList &rows);

signals:
    void databaseError(const QString &error);

private:
    void configureConnection();
    void createTables();
    void createIndexes();
    void seedDefaults();
    void upgradePlainPasswords();
    bool prepareAndRun(QSqlQuery &query, const QString &sql, const QVariantList &params);

    QSqlDatabase m_db;
    QMutex m_lock;
};
