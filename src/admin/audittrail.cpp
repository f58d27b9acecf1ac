#include "audittrail.h"

#include "database.h"

using namespace Qt::StringLiterals;

namespace {

// Each verb with the row alias it reads the id from.
struct Event
{
    QString name;
    QString action;
    QString verb;
    QString row;
};

const QList<Event> &events()
{
    static const QList<Event> list = {
        { u"INSERT"_s, u"create"_s, u"إضافة"_s, u"NEW"_s },
        { u"UPDATE"_s, u"update"_s, u"تعديل"_s, u"NEW"_s },
        { u"DELETE"_s, u"delete"_s, u"حذف"_s, u"OLD"_s },
    };
    return list;
}

QString triggerName(const QString &table, const Event &event)
{
    return u"audit_"_s + table + u"_"_s + event.action;
}

} // namespace

QList<QPair<QString, QString>> AuditTrail::recordedTables()
{
    // Invoice and journal lines are parts of their invoice or entry, which is recorded; the logs
    // themselves are not.
    return {
        { u"users"_s, u"مستخدم"_s },
        { u"currencies"_s, u"عملة"_s },
        { u"exchange_rates"_s, u"سعر صرف"_s },
        { u"properties"_s, u"عقار"_s },
        { u"units"_s, u"وحدة"_s },
        { u"tenants"_s, u"مستأجر"_s },
        { u"buyers"_s, u"مشترٍ"_s },
        { u"contracts"_s, u"عقد"_s },
        { u"services"_s, u"خدمة"_s },
        { u"usage_records"_s, u"قراءة استهلاك"_s },
        { u"invoices"_s, u"فاتورة"_s },
        { u"payments"_s, u"دفعة"_s },
        { u"installments"_s, u"قسط"_s },
        { u"cheques"_s, u"شيك"_s },
        { u"expenses"_s, u"مصروف"_s },
        { u"maintenance_requests"_s, u"طلب صيانة"_s },
        { u"accounts"_s, u"حساب"_s },
        { u"journal_entries"_s, u"قيد يومية"_s },
        { u"cost_centers"_s, u"مركز تكلفة"_s },
        { u"settings"_s, u"إعداد"_s },
        { u"contractors"_s, u"مقاول"_s },
    };
}

bool AuditTrail::install(Database *db)
{
    if (!db->execNonQuery(u"CREATE TEMP TABLE IF NOT EXISTS audit_actor (user_id INTEGER)"_s))
        return false;
    for (const auto &[table, label] : recordedTables()) {
        // settings is keyed by name, not by id.
        const bool keyed = table == u"settings"_s;
        for (const Event &event : events()) {
            const QString id = keyed ? u"NULL"_s : event.row + u".id"_s;
            const QString details = event.verb + u" "_s + label
                + (keyed ? u": ' || "_s + event.row + u".key || '"_s : QString());
            // An account's balance follows its journal lines, whose entry is recorded already;
            // only a change of the account itself is.
            const QString when = table == u"accounts"_s && event.name == u"UPDATE"_s
                ? u"WHEN NEW.code IS NOT OLD.code OR NEW.name_ar IS NOT OLD.name_ar OR NEW.type "
                  "IS NOT OLD.type OR NEW.parent_id IS NOT OLD.parent_id "_s
                : QString();
            // Names and texts come from the fixed lists above, never from input. A trigger may not
            // name the database of the table it writes; audit_logs exists in main only.
            const QString sql = u"CREATE TEMP TRIGGER IF NOT EXISTS %1 AFTER %2 ON main.%3 %7"
                                "BEGIN INSERT INTO audit_logs (user_id, action, table_name, "
                                "record_id, details) VALUES ((SELECT user_id FROM "
                                "temp.audit_actor LIMIT 1), '%4', '%3', %5, '%6'); END"_s.arg(
                                    triggerName(table, event), event.name, table, event.action, id,
                                    details, when);
            if (!db->execNonQuery(sql))
                return false;
        }
    }
    return true;
}

void AuditTrail::remove(Database *db)
{
    for (const auto &[table, label] : recordedTables()) {
        for (const Event &event : events())
            db->execNonQuery(u"DROP TRIGGER IF EXISTS temp.%1"_s.arg(triggerName(table, event)));
    }
}

void AuditTrail::setActor(Database *db, int userId)
{
    db->execNonQuery(u"CREATE TEMP TABLE IF NOT EXISTS audit_actor (user_id INTEGER)"_s);
    db->execNonQuery(u"DELETE FROM temp.audit_actor"_s);
    if (userId > 0)
        db->execNonQuery(u"INSERT INTO temp.audit_actor (user_id) VALUES (?)"_s, { userId });
}
