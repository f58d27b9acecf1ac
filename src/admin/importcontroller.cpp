#include "importcontroller.h"

#include "database.h"
#include "inputconverter.h"
#include "session.h"
#include "transactionguard.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

using namespace Qt::StringLiterals;

ImportController::ImportController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

QStringList ImportController::splitFields(const QString &line, QChar separator)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
        } else if (c == separator) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QString ImportController::importLine(const QStringList &fields, const QString &targetTable)
{
    const auto field = [&fields](int i) {
        // Empty text, not NULL, for a missing field: a NULL would blank concatenated lines.
        return i < fields.size() ? fields.at(i).trimmed() : u""_s;
    };
    if (targetTable == u"tenants"_s || targetTable == u"buyers"_s) {
        if (fields.size() < 3)
            return u"حقول ناقصة: الاسم ورقم الهوية والهاتف مطلوبة"_s;
        if (field(0).isEmpty())
            return u"الاسم مفقود"_s;
        const QString idNumber = InputConverter::normalized(field(1));
        const QString duplicate
            = u"SELECT COUNT(*) AS c FROM %1 WHERE id_number=?"_s.arg(targetTable);
        if (!idNumber.isEmpty()
            && Database::firstRow(m_db->execQuery(duplicate, { idNumber })).value(u"c"_s).toInt()
                > 0)
            return u"رقم الهوية مسجل مسبقاً"_s;
        // ID numbers are unique; rows without one must not collide on an empty text.
        const QVariant storedId = idNumber.isEmpty() ? QVariant() : QVariant(idNumber);
        const int id = targetTable == u"tenants"_s
            ? m_db->execInsert(u"INSERT INTO tenants (full_name, id_number, phone, address) "
                               "VALUES (?,?,?,?)"_s,
                { field(0), storedId, InputConverter::normalized(field(2)), field(3) })
            : m_db->execInsert(u"INSERT INTO buyers (full_name, id_number, phone) VALUES (?,?,?)"_s,
                { field(0), storedId, InputConverter::normalized(field(2)) });
        return id > 0 ? QString() : u"رفضت قاعدة البيانات الصف"_s;
    }
    if (targetTable == u"units"_s) {
        if (fields.size() < 4)
            return u"حقول ناقصة: العقار ورقم الوحدة والمساحة والسعر مطلوبة"_s;
        if (field(1).isEmpty())
            return u"رقم الوحدة مفقود"_s;
        bool propertyOk = false;
        const int propertyId = InputConverter::normalized(field(0)).toInt(&propertyOk);
        const double area = field(2).isEmpty() ? 0.0 : InputConverter::amount(field(2));
        const double salePrice = field(3).isEmpty() ? 0.0 : InputConverter::amount(field(3));
        const double rent = field(4).isEmpty() ? 0.0 : InputConverter::amount(field(4));
        // NaN marks a field that is not a number ("nan" and "inf" included).
        if (!propertyOk || std::isnan(area) || std::isnan(salePrice) || std::isnan(rent))
            return u"رقم غير صالح"_s;
        return m_db->execInsert(u"INSERT INTO units (property_id, unit_number, area, sale_price, "
                                "rent_monthly, status) VALUES (?,?,?,?,?,'available')"_s,
                   { propertyId, field(1), area, salePrice, rent })
                > 0
            ? QString()
            : u"رفضت قاعدة البيانات الصف: العقار غير موجود أو رقم الوحدة مكرر"_s;
    }
    return u"نوع بيانات غير معروف"_s;
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
    m_skippedRows.clear();
    m_headerSkipped = false;
    if (rawText.isEmpty())
        return finish(0, 0);

    // Each line stands alone: a refused row does not stop the others. One transaction keeps a
    // long paste fast.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return finish(0, 0);
    int imported = 0;
    int skipped = 0;
    bool first = true;
    const QStringList lines = rawText.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QChar separator = line.contains(u'\t') ? u'\t' : u',';
        const QStringList fields = splitFields(line, separator);
        // Column titles fill a whole row without a digit; every data row has an ID number, a
        // phone or a number.
        if (first) {
            first = false;
            static const QRegularExpression digit(u"\\d"_s);
            const qsizetype needed = targetTable == u"units"_s ? 4 : 3;
            if (fields.size() >= needed && !InputConverter::normalized(line).contains(digit)) {
                m_headerSkipped = true;
                continue;
            }
        }
        const QString reason = importLine(fields, targetTable);
        if (reason.isEmpty()) {
            ++imported;
        } else {
            ++skipped;
            m_skippedRows.append(QVariantMap {
                { u"line"_s, int(n + 1) }, { u"text"_s, line }, { u"reason"_s, reason } });
        }
    }
    if (!guard.commit())
        return finish(0, imported + skipped);
    return finish(imported, skipped);
}
