#pragma once

#include "modelbase.h"

// Buildings and projects; each one added here carries its own "project" cost centre.
class PropertyModel : public ModelBase
{
    Q_OBJECT
public:
    explicit PropertyModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE int add(const QString &name, const QString &type, const QString &address,
        const QString &city, const QString &description);
    Q_INVOKABLE bool update(int id, const QString &name, const QString &type,
        const QString &address, const QString &city, const QString &description);
    Q_INVOKABLE bool remove(int id);
    Q_INVOKABLE QVariantMap getStats(int id);
    Q_INVOKABLE QVariantList search(const QString &query);
};
