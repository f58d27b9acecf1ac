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
    };
}
