#pragma once

#include "listquery.h"

#include <QHash>
#include <QList>
#include <QObject>

class Database;
class ModelBase;
class PagedListModel;

// The long lists the pages show, by name, each read a page at a time. A list opened here reads
// its rows again after any write of the business objects it is watched against.
class ListCatalog : public QObject
{
    Q_OBJECT
public:
    explicit ListCatalog(Database *db, QObject *parent = nullptr);

    // Writes of `model` make the named lists stale.
    void watch(ModelBase *model, const QStringList &lists);

    // A new list that ends with `owner` (the page that shows it; without one, the caller owns
    // it), inactive until it is shown; null for an unknown name.
    Q_INVOKABLE PagedListModel *open(const QString &name, QObject *owner = nullptr);

    // tenants, buyers, maintenance, expenses, installments, units, invoices, payments, cheques
    // or journal; an empty query for another name.
    static ListQuery query(const QString &name);

private:
    Database *m_db;
    QHash<QString, QList<ModelBase *>> m_watched;
};
