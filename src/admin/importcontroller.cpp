#include "importcontroller.h"

#include "database.h"
#include "session.h"
#include "transactionguard.h"

#include <QStringList>
#include <cmath>

using namespace Qt::StringLiterals;

ImportController::ImportController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

bool ImportController::importLine(const QStringList &fields, const QString &targetTable)
{
    if (targetTable == u"tenants"_s) {
        if (fields.size() < 3)
            return false;
        const QString address = fields.size() > 3 ? fields.at(3).trimmed() : u""_s;
        return m_db->execInsert(u"INSERT INTO tenants (full_name, id_number, phone, address) "
                                "VALUES (?,?,?,?)"_s,
                   { fields.at(0).trimmed(), fields.at(1).trimmed(), fields.at(2).trimmed(),
                       address })
            > 0;
    }
    if (targetTable == u"buyers"_s) {
        if (fields.size() < 3)
            return false;
        return m_db->execInsert(
                   u"INSERT INTO buyers (full_name, id_number, phone) VALUES (?,?,?)"_s,
                   { fields.at(0).trimmed(), fields.at(1).trimmed(), fields.at(2).trimmed() })
            > 0;
    }
    if (targetTable == u"units"_s) {
        if (fields.size() < 4)
            return false;
        const int propertyId = fields.at(0).toInt();
        const double area = fields.at(2).toDouble();
        const double salePrice = fields.at(3).toDouble();
        const double rent = fields.size() > 4 ? fields.at(4).toDouble() : 0.0;
        // "nan" and "inf" parse as numbers but are no amount; SQLite would store NaN as NULL.
        if (!std::isfinite(area) || !std::isfinite(salePrice) || !std::isfinite(rent))
            return false;
        return m_db->execInsert(u"INSERT INTO units (property_id, unit_number, area, sale_price, "
                                "rent_monthly, status) VALUES (?,?,?,?,?,'available')"_s,
                   { propertyId, fields.at(1).trimmed(), area, salePrice, rent })
            > 0;
    }
    return false;
}

bool ImportController::finish(int imported, int skipped)
{
    m_lastImported = imported;
    m_lastSkipped = skipped;
    emit importFinished();
    return imported > 0;
}

bool ImportController::importRawCSV(const QString &rawText, const QString &targetTable)
{
    if (!Session::permits(m_db, Permissions::Operation::Import))
        return false;
    if (rawText.isEmpty())
        return finish(0, 0);

    // Each line stands alone: a refused row does not stop the others. One transaction keeps a
    // long paste fast.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return finish(0, 0);
    int imported = 0;
    int skipped = 0;
    const QStringList lines = rawText.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QChar separator = line.contains(u'\t') ? u'\t' : u',';
        if (importLine(line.split(separator), targetTable))
            ++imported;
        else
            ++skipped;
    }
    if (!guard.commit())
        return finish(0, imported + skipped);
    return finish(imported, skipped);
}
