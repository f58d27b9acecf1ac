#include "modelbase.h"

#include "database.h"
#include "session.h"

#include <cmath>

ModelBase::ModelBase(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

bool ModelBase::permitted(Permissions::Operation operation) const
{
    return Session::permits(m_db, operation);
}

QVariantList ModelBase::list(const QString &sql, const QVariantList &params) const
{
    return m_db->execQuery(sql, params);
}

QVariantMap ModelBase::one(const QString &sql, const QVariantList &params) const
{
    return Database::firstRow(m_db->execQuery(sql, params));
}

int ModelBase::intFigure(const QString &sql, const QString &key, const QVariantList &params) const
{
    return one(sql, params).value(key).toInt();
}

double ModelBase::doubleFigure(
    const QString &sql, const QString &key, const QVariantList &params) const
{
    return one(sql, params).value(key).toDouble();
}

int ModelBase::create(const QString &sql, const QVariantList &params)
{
    const int id = m_db->execInsert(sql, params);
    if (id > 0)
        emit dataChanged();
    return id;
}

bool ModelBase::change(const QString &sql, const QVariantList &params)
{
    const bool ok = m_db->execNonQuery(sql, params);
    if (ok)
        emit dataChanged();
    return ok;
}

QVariant ModelBase::optionalId(int id) { return id >= 1 ? QVariant(id) : QVariant(); }

bool ModelBase::isFinite(double value) { return std::isfinite(value); }
