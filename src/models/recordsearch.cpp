#include "recordsearch.h"

#include "inputconverter.h"

using namespace Qt::StringLiterals;

RecordSearch::RecordSearch(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QString RecordSearch::containsPattern(const QString &text)
{
    QString escaped = InputConverter::normalized(text);
    escaped.replace(u"\\"_s, u"\\\\"_s);
    escaped.replace(u"%"_s, u"\\%"_s);
    escaped.replace(u"_"_s, u"\\_"_s);
    return u"%"_s + escaped + u"%"_s;
}

QVariantList RecordSearch::find(
    const QString &kind, const QString &text, int offset, int limit, int ownerId)
{
    const QString like = containsPattern(text);
    const int count = qMax(0, limit);
    const int skip = qMax(0, offset);
    if (kind == u"tenant"_s)
        return list(
            u"SELECT t.id, t.full_name AS title, TRIM(COALESCE(t.id_number,'') || '  ' || "
            "COALESCE((SELECT p.name || ' - ' || u.unit_number FROM contracts c JOIN units u ON "
            "c.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE c.tenant_id=t.id AND "
            "c.status='active' ORDER BY c.start_date DESC LIMIT 1), '')) AS detail FROM tenants t "
            "WHERE t.full_name LIKE ? ESCAPE '\\' OR t.id_number LIKE ? ESCAPE '\\' OR t.phone "
            "LIKE ? ESCAPE '\\' OR EXISTS (SELECT 1 FROM contracts c JOIN units u ON "
            "c.unit_id=u.id WHERE c.tenant_id=t.id AND c.status='active' AND u.unit_number LIKE "
            "? ESCAPE '\\') ORDER BY t.full_name, t.id LIMIT ? OFFSET ?"_s,
            { like, like, like, like, count, skip });
    if (kind == u"buyer"_s)
        return list(u"SELECT b.id, b.full_name AS title, TRIM(COALESCE(b.id_number,'') || '  ' || "
                    "COALESCE(b.phone,'')) AS detail FROM buyers b WHERE b.full_name LIKE ? "
                    "ESCAPE '\\' OR b.id_number LIKE ? ESCAPE '\\' OR b.phone LIKE ? ESCAPE "
                    "'\\' ORDER BY b.full_name, b.id LIMIT ? OFFSET ?"_s,
            { like, like, like, count, skip });
    if (kind == u"unit"_s || kind == u"availableUnit"_s)
        return list(u"SELECT u.id, p.name || ' - ' || u.unit_number AS title, CASE u.status "
                    "WHEN 'available' THEN 'متاحة' WHEN 'rented' THEN 'مؤجرة' ELSE 'مباعة' END AS "
                    "detail, u.property_id, u.rent_monthly, u.sale_price FROM units u JOIN "
                    "properties p ON u.property_id=p.id WHERE (?=0 OR u.status='available') AND "
                    "(u.unit_number LIKE ? ESCAPE '\\' OR p.name LIKE ? ESCAPE '\\') ORDER BY "
                    "p.name, u.unit_number LIMIT ? OFFSET ?"_s,
            { kind == u"availableUnit"_s ? 1 : 0, like, like, count, skip });
    if (kind == u"contractor"_s)
        return list(u"SELECT id, name AS title, TRIM(COALESCE(trade,'') || '  ' || "
                    "COALESCE(phone,'')) AS detail, balance FROM contractors WHERE name LIKE ? "
                    "ESCAPE '\\' OR phone LIKE ? ESCAPE '\\' OR trade LIKE ? ESCAPE '\\' "
                    "ORDER BY name, id LIMIT ? OFFSET ?"_s,
            { like, like, like, count, skip });
    if (kind == u"invoice"_s)
        return list(
            u"SELECT i.id, i.invoice_number AS title, COALESCE(i.period,'') || '  ' || CASE WHEN "
            "i.contract_id IS NOT NULL THEN 'إيجار' ELSE 'خدمات' END || '  ' || 'المتبقي ' || "
            "printf('%.2f', i.balance) AS detail, i.balance, i.currency_id, i.tenant_id FROM "
            "invoices i LEFT JOIN tenants t ON i.tenant_id=t.id WHERE i.status!='paid' AND "
            "i.status!='void' AND (?<1 OR i.tenant_id=?) AND (i.invoice_number LIKE ? ESCAPE "
            "'\\' OR i.period LIKE ? ESCAPE '\\' OR t.full_name LIKE ? ESCAPE '\\') ORDER BY "
            "COALESCE(i.due_date, i.period), i.id LIMIT ? OFFSET ?"_s,
            { ownerId, ownerId, like, like, like, count, skip });
    return {};
}
