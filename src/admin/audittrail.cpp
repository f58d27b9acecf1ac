#include "audittrail.h"

#include "database.h"
#include "transactionguard.h"

#include <QSysInfo>

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

QString AuditTrail::computerName()
{
    static const QString name = QSysInfo::machineHostName();
    return name;
}

bool AuditTrail::install(Database *db)
{
    if (db->isServer())
        return installOnServer(db);
    if (!db->execNonQuery(
            u"CREATE TEMP TABLE IF NOT EXISTS audit_actor (user_id INTEGER, host TEXT)"_s))
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
            const QString sql
                = u"CREATE TEMP TRIGGER IF NOT EXISTS %1 AFTER %2 ON main.%3 %7"
                  "BEGIN INSERT INTO audit_logs (user_id, action, table_name, "
                  "record_id, details, host) VALUES ((SELECT user_id FROM "
                  "temp.audit_actor LIMIT 1), '%4', '%3', %5, '%6', (SELECT host "
                  "FROM temp.audit_actor LIMIT 1)); END"_s.arg(triggerName(table, event),
                      event.name, table, event.action, id, details, when);
            if (!db->execNonQuery(sql))
                return false;
        }
    }
    return true;
}

bool AuditTrail::installOnServer(Database *db)
{
    // The triggers belong to the tables and serve every operator's connection; each connection
    // switches its own recording on, as a file's connection does by creating its triggers.
    const int expected = static_cast<int>(recordedTables().size() * events().size());
    const int present = Database::firstRow(
        db->execQuery(u"SELECT COUNT(*) AS c FROM pg_trigger WHERE tgname LIKE 'audit_%' AND "
                      "tgrelid IN (SELECT oid FROM pg_class WHERE relnamespace = "
                      "current_schema()::regnamespace)"_s))
                            .value(u"c"_s)
                            .toInt();
    if (present < expected && !createServerTriggers(db))
        return false;
    return db->execQuery(u"SELECT set_config('bv.audit', 'on', false)"_s).size() == 1;
}

bool AuditTrail::createServerTriggers(Database *db)
{
    TransactionGuard guard(db);
    // Who and where are this connection's own settings; a table keyed by name records no id.
    if (!db->execNonQuery(uR"(CREATE OR REPLACE FUNCTION bv_audit() RETURNS trigger
LANGUAGE plpgsql AS $f$
DECLARE r jsonb;
BEGIN
  IF coalesce(current_setting('bv.audit', true), '') <> 'on' THEN RETURN NULL; END IF;
  IF TG_OP = 'DELETE' THEN r := to_jsonb(OLD); ELSE r := to_jsonb(NEW); END IF;
  INSERT INTO audit_logs (user_id, action, table_name, record_id, details, host)
  VALUES (nullif(current_setting('bv.actor', true), '')::integer, TG_ARGV[0], TG_TABLE_NAME,
    (r->>'id')::integer,
    TG_ARGV[1] || CASE WHEN TG_ARGV[2] = 'keyed' THEN ': ' || (r->>'key') ELSE '' END,
    nullif(current_setting('bv.host', true), ''));
  RETURN NULL;
END $f$)"_s))
        return false;
    for (const auto &[table, label] : recordedTables()) {
        const bool keyed = table == u"settings"_s;
        for (const Event &event : events()) {
            const QString when = table == u"accounts"_s && event.name == u"UPDATE"_s
                ? u"WHEN (NEW.code IS DISTINCT FROM OLD.code OR NEW.name_ar IS DISTINCT FROM "
                  "OLD.name_ar OR NEW.type IS DISTINCT FROM OLD.type OR NEW.parent_id IS "
                  "DISTINCT FROM OLD.parent_id) "_s
                : QString();
            const QString sql
                = u"CREATE OR REPLACE TRIGGER %1 AFTER %2 ON %3 FOR EACH ROW %4"
                  "EXECUTE FUNCTION bv_audit('%5', '%6', '%7')"_s.arg(triggerName(table, event),
                      event.name, table, when, event.action, event.verb + u" "_s + label,
                      keyed ? u"keyed"_s : u"id"_s);
            if (!db->execNonQuery(sql))
                return false;
        }
    }
    return guard.commit();
}

void AuditTrail::remove(Database *db)
{
    if (db->isServer()) {
        db->execQuery(u"SELECT set_config('bv.audit', '', false)"_s);
        return;
    }
    for (const auto &[table, label] : recordedTables()) {
        for (const Event &event : events())
            db->execNonQuery(u"DROP TRIGGER IF EXISTS temp.%1"_s.arg(triggerName(table, event)));
    }
}

void AuditTrail::setActor(Database *db, int userId)
{
    if (db->isServer()) {
        db->execQuery(u"SELECT set_config('bv.actor', ?, false), set_config('bv.host', ?, false)"_s,
            { userId > 0 ? QString::number(userId) : QString(u""_s), computerName() });
        return;
    }
    db->execNonQuery(u"CREATE TEMP TABLE IF NOT EXISTS audit_actor (user_id INTEGER, host TEXT)"_s);
    db->execNonQuery(u"DELETE FROM temp.audit_actor"_s);
    db->execNonQuery(u"INSERT INTO temp.audit_actor (user_id, host) VALUES (?, ?)"_s,
        { userId > 0 ? QVariant(userId) : QVariant(), computerName() });
}
