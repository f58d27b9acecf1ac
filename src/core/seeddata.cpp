#include "seeddata.h"

using namespace Qt::StringLiterals;

QString SeedData::adminPassword() { return u"qatmo"_s; }

// The first statement takes the administrator's password hash as its one bound value.
QStringList SeedData::statements()
{
    return {
        u"INSERT INTO users (username, password_hash, full_name, role) VALUES ('admin', ?, 'مدير عام', 'admin')"_s,
        u"INSERT INTO currencies (code, name_ar, symbol, is_primary) VALUES ('ILS', 'شيكل', '₪', 1)"_s,
        u"INSERT INTO currencies (code, name_ar, symbol, is_primary) VALUES ('USD', 'دولار', '$', 0)"_s,
        u"INSERT INTO currencies (code, name_ar, symbol, is_primary) VALUES ('JOD', 'دينار أردني', 'د.ا', 0)"_s,
        u"INSERT INTO accounts (code, name_ar, type, is_system) VALUES ('1000', 'الأصول', 'asset', 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('1100', 'النقدية', 'asset', 1, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('1200', 'الذمم المدينة', 'asset', 1, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, is_system) VALUES ('2000', 'الخصوم', 'liability', 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('2100', 'الذمم الدائنة', 'liability', 4, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, is_system) VALUES ('3000', 'حقوق الملكية', 'equity', 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, is_system) VALUES ('4000', 'الإيرادات', 'revenue', 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('4100', 'إيرادات الإيجار', 'revenue', 7, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('4200', 'إيرادات الخدمات', 'revenue', 7, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('4300', 'إيرادات المبيعات', 'revenue', 7, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, is_system) VALUES ('5000', 'المصروفات', 'expense', 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('5100', 'مصروفات الصيانة', 'expense', 11, 1)"_s,
        u"INSERT INTO accounts (code, name_ar, type, parent_id, is_system) VALUES ('5200', 'مصروفات تشغيلية', 'expense', 11, 1)"_s,
        u"INSERT INTO services (name, type, rate, unit_of_measure) VALUES ('مياه', 'usage', 5.0, 'متر مكعب')"_s,
        u"INSERT INTO services (name, type, rate, unit_of_measure) VALUES ('كهرباء', 'usage', 0.5, 'كيلوواط')"_s,
        u"INSERT INTO services (name, type, rate, unit_of_measure) VALUES ('تنظيف', 'fixed', 100, 'شهري')"_s,
        u"INSERT INTO services (name, type, rate, unit_of_measure) VALUES ('مصعد', 'fixed', 50, 'شهري')"_s,
        u"INSERT INTO services (name, type, rate, unit_of_measure) VALUES ('حراسة', 'fixed', 75, 'شهري')"_s,
        // A new database posts its operations to the journal; an older one waits to be asked.
        u"INSERT OR IGNORE INTO settings (key, value) VALUES ('auto_posting', '1')"_s,
    };
}

// Each account is added under its top-level account unless its code is taken.
QStringList SeedData::postingAccounts()
{
    const QString row
        = u"INSERT OR IGNORE INTO accounts (code, name_ar, type, parent_id, is_system) "
          "SELECT '%1', '%2', '%3', (SELECT id FROM accounts WHERE code='%4'), 1"_s;
    return {
        row.arg(u"1110"_s, u"البنك"_s, u"asset"_s, u"1000"_s),
        row.arg(u"1210"_s, u"أقساط مستحقة القبض"_s, u"asset"_s, u"1000"_s),
        row.arg(u"2200"_s, u"تأمينات المستأجرين المحتجزة"_s, u"liability"_s, u"2000"_s),
        row.arg(u"2300"_s, u"دفعات مقدمة من المستأجرين"_s, u"liability"_s, u"2000"_s),
        row.arg(u"4400"_s, u"إيرادات غرامات التأخير"_s, u"revenue"_s, u"4000"_s),
        row.arg(u"4500"_s, u"إيرادات من التأمينات المحتجزة"_s, u"revenue"_s, u"4000"_s),
        row.arg(u"5310"_s, u"مصروفات الكهرباء"_s, u"expense"_s, u"5000"_s),
        row.arg(u"5320"_s, u"مصروفات المياه"_s, u"expense"_s, u"5000"_s),
        row.arg(u"5330"_s, u"مصروفات التنظيف"_s, u"expense"_s, u"5000"_s),
        row.arg(u"5340"_s, u"مصروفات إدارية"_s, u"expense"_s, u"5000"_s),
        row.arg(u"5350"_s, u"ضرائب ورسوم"_s, u"expense"_s, u"5000"_s),
        row.arg(u"5360"_s, u"مصروفات التأمين"_s, u"expense"_s, u"5000"_s),
    };
}
