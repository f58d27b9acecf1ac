#include "servicemodel.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool isValidPeriod(const QString &period)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(u"[0-9]{4}-[0-9]{2}"_s));
    return shape.match(period).hasMatch()
        && QDate::fromString(period + u"-01"_s, u"yyyy-MM-dd"_s).isValid();
}

// Meters show at most three decimals; the subtraction must not leave binary noise behind.
double reading(double value) { return std::round(value * 1000.0) / 1000.0; }

} // namespace

ServiceModel::ServiceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList ServiceModel::getAll() { return list(u"SELECT * FROM services ORDER BY id"_s); }

QVariantMap ServiceModel::getById(int id)
{
    return one(u"SELECT * FROM services WHERE id=?"_s, { id });
}

void ServiceModel::refuse(const QString &why)
{
    m_lastRefusal = why;
    emit outcomeChanged();
}

QVariantList ServiceModel::readingSheet(int propertyId, const QString &period)
{
    if (!isValidPeriod(period))
        return {};
    // Every lookup is one index probe per row: the unique (unit, service, period) key of the
    // readings, the leases and the invoices of one unit (the status taken as an expression
    // keeps SQLite from walking every active lease through the status index instead; a server
    // has no unary + for text).
    QVariantList rows = list(
        u"SELECT u.id AS unit_id, u.unit_number, s.id AS service_id, s.name AS service_name, "
        "s.rate, s.unit_of_measure, "
        "(SELECT t.full_name FROM contracts c JOIN tenants t ON t.id=c.tenant_id "
        " WHERE c.unit_id=u.id AND c.status || ''='active' ORDER BY c.start_date DESC LIMIT 1) "
        " AS tenant_name, "
        "(SELECT p.current_reading FROM usage_records p WHERE p.unit_id=u.id "
        " AND p.service_id=s.id AND p.period<? ORDER BY p.period DESC LIMIT 1) AS carried, "
        "(SELECT p.period FROM usage_records p WHERE p.unit_id=u.id "
        " AND p.service_id=s.id AND p.period<? ORDER BY p.period DESC LIMIT 1) "
        " AS previous_period, "
        "r.id AS record_id, r.previous_reading AS stored_previous, r.current_reading, "
        "r.consumption, r.cost, COALESCE(r.meter_replaced, 0) AS meter_replaced, "
        "EXISTS (SELECT 1 FROM invoices i JOIN invoice_items it ON it.invoice_id=i.id "
        " WHERE i.unit_id=u.id AND i.period=? AND i.status!='void' AND it.type='usage' "
        " AND it.description=s.name) AS billed, "
        "EXISTS (SELECT 1 FROM usage_records l WHERE l.unit_id=u.id AND l.service_id=s.id "
        " AND l.period>?) AS has_later, "
        "EXISTS (SELECT 1 FROM invoices i WHERE i.unit_id=u.id AND i.period=? "
        " AND i.contract_id IS NOT NULL AND i.status!='void') AS rent_issued "
        "FROM units u JOIN services s ON s.type='usage' "
        "LEFT JOIN usage_records r ON r.unit_id=u.id AND r.service_id=s.id AND r.period=? "
        "WHERE u.property_id=? AND COALESCE(u.status, '')!='sold' "
        "ORDER BY length(u.unit_number), u.unit_number, u.id, s.id"_s,
        { period, period, period, period, period, period, propertyId });
    for (QVariant &element : rows) {
        QVariantMap row = element.toMap();
        const bool recorded = !row.value(u"record_id"_s).isNull();
        row.insert(u"previous_reading"_s,
            recorded ? row.value(u"stored_previous"_s).toDouble()
                     : row.value(u"carried"_s).toDouble());
        const bool billed = row.value(u"billed"_s).toInt() == 1;
        row.insert(u"locked"_s, billed || row.value(u"has_later"_s).toInt() == 1 ? 1 : 0);
        row.insert(
            u"late"_s, recorded && !billed && row.value(u"rent_issued"_s).toInt() == 1 ? 1 : 0);
        row.remove(u"stored_previous"_s);
        row.remove(u"carried"_s);
        element = row;
    }
    return rows;
}

int ServiceModel::saveReadings(int propertyId, const QString &period, const QVariantList &rows)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isValidPeriod(period)) {
        refuse(u"الفترة غير صالحة؛ اكتبها بالصيغة YYYY-MM"_s);
        return -1;
    }
    QHash<QPair<int, int>, QVariantMap> sheet;
    for (const QVariant &element : readingSheet(propertyId, period)) {
        const QVariantMap row = element.toMap();
        sheet.insert({ row.value(u"unit_id"_s).toInt(), row.value(u"service_id"_s).toInt() }, row);
    }

    TransactionGuard guard(m_db);
    if (!guard.isActive()) {
        refuse(u"تعذر بدء الحفظ في قاعدة البيانات"_s);
        return -1;
    }
    int saved = 0;
    for (const QVariant &element : rows) {
        const QVariantMap input = element.toMap();
        const QVariant typed = input.value(u"current_reading"_s);
        if (typed.isNull() || typed.toString().trimmed().isEmpty())
            continue;
        const QPair<int, int> key { input.value(u"unit_id"_s).toInt(),
            input.value(u"service_id"_s).toInt() };
        const auto found = sheet.constFind(key);
        if (found == sheet.constEnd()) {
            refuse(u"إحدى القراءات لا تخص وحدة من هذا العقار أو خدمة تُحسب بالاستهلاك"_s);
            return -1;
        }
        const QVariantMap &row = found.value();
        const QString name = u"%1 (%2)"_s.arg(
            row.value(u"unit_number"_s).toString(), row.value(u"service_name"_s).toString());
        bool numeric = false;
        const double current = reading(typed.toDouble(&numeric));
        if (!numeric || !std::isfinite(current) || current < 0 || current >= Money::kCeiling) {
            refuse(u"قراءة الوحدة %1 ليست رقماً صالحاً"_s.arg(name));
            return -1;
        }
        const bool replaced = input.value(u"meter_replaced"_s).toBool();
        const bool recorded = !row.value(u"record_id"_s).isNull();
        if (recorded && reading(row.value(u"current_reading"_s).toDouble()) == current
            && (row.value(u"meter_replaced"_s).toInt() == 1) == replaced)
            continue;
        if (row.value(u"locked"_s).toInt() == 1) {
            refuse(
                u"لا يمكن تعديل قراءة الوحدة %1: صدرت فاتورتها أو سُجلت قراءة شهر لاحق"_s.arg(name));
            return -1;
        }
        const double previous = reading(row.value(u"previous_reading"_s).toDouble());
        if (current < previous && !replaced) {
            refuse(u"قراءة الوحدة %1 (%2) أقل من السابقة (%3)؛ علّم «تغيير العداد» إن استُبدل"_s.arg(
                name, QString::number(current), QString::number(previous)));
            return -1;
        }
        // A new meter starts from zero.
        const double consumption = replaced ? current : reading(current - previous);
        const double cost = Money::round(consumption * row.value(u"rate"_s).toDouble());
        if (!Money::isAcceptable(cost)) {
            refuse(u"تكلفة استهلاك الوحدة %1 تتجاوز الحد الأقصى"_s.arg(name));
            return -1;
        }
        if (!m_db->execNonQuery(
                u"INSERT INTO usage_records (unit_id, service_id, period, previous_reading, "
                "current_reading, consumption, cost, meter_replaced) VALUES (?,?,?,?,?,?,?,?) "
                "ON CONFLICT(unit_id, service_id, period) DO UPDATE SET "
                "previous_reading=excluded.previous_reading, "
                "current_reading=excluded.current_reading, consumption=excluded.consumption, "
                "cost=excluded.cost, meter_replaced=excluded.meter_replaced"_s,
                { key.first, key.second, period, previous, current, consumption, cost,
                    replaced ? 1 : 0 })) {
            refuse(u"تعذر حفظ القراءات في قاعدة البيانات"_s);
            return -1;
        }
        ++saved;
    }
    if (!guard.commit()) {
        refuse(u"تعذر حفظ القراءات في قاعدة البيانات"_s);
        return -1;
    }
    m_lastRefusal.clear();
    emit outcomeChanged();
    if (saved > 0)
        emit dataChanged();
    return saved;
}
