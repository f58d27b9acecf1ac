#pragma once

#include "permissions.h"

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

// The contract every model shares: rows come back as row lists and maps, writes report success by
// their return value, and dataChanged follows only a write that succeeded. The SQL itself stays
// with each operation.
class ModelBase : public QObject
{
    Q_OBJECT
public:
    explicit ModelBase(Database *db, QObject *parent = nullptr);

signals:
    void dataChanged();

protected:
    using Operation = Permissions::Operation;

    // The first line of every write operation: whether the session allows it (a refusal is
    // signalled by the session, and the operation returns its failure value without writing).
    bool permitted(Permissions::Operation operation) const;

    QVariantList list(const QString &sql, const QVariantList &params = {}) const;
    // The first row, or an empty map.
    QVariantMap one(const QString &sql, const QVariantList &params = {}) const;
    // An aliased figure of the first row; 0 when there is no row.
    int intFigure(const QString &sql, const QString &key, const QVariantList &params = {}) const;
    double doubleFigure(
        const QString &sql, const QString &key, const QVariantList &params = {}) const;
    // Insert; dataChanged when the new id is 1 or more. Returns the id (-1 on failure).
    int create(const QString &sql, const QVariantList &params);
    // Update or delete; dataChanged when the statement ran. Returns whether it ran.
    bool change(const QString &sql, const QVariantList &params);

    // An optional link: ids below 1 are stored as NULL.
    static QVariant optionalId(int id);
    static bool isFinite(double value);

    Database *m_db;
};
