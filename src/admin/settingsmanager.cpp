#include "settingsmanager.h"

#include "database.h"
#include "money.h"
#include "session.h"
#include "transactionguard.h"

#include <QDate>
#include <cmath>

using namespace Qt::StringLiterals;

SettingsManager::SettingsManager(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
    const QVariantList rows = m_db->execQuery(u"SELECT code FROM currencies WHERE is_primary=1"_s);
    if (!rows.isEmpty())
        m_primaryCurrency = rows.first().toMap().value(u"code"_s).toString();
    // A database in use before setup was recorded is set up already: it is not asked again.
    m_db->execNonQuery(
        u"INSERT OR IGNORE INTO settings (key, value) SELECT 'setup_completed', '1' WHERE "
        "EXISTS (SELECT 1 FROM properties) OR EXISTS (SELECT 1 FROM tenants) OR EXISTS "
        "(SELECT 1 FROM buyers) OR EXISTS (SELECT 1 FROM settings WHERE key='company_name' "
        "AND value <> '')"_s);
}

bool SettingsManager::isFirstRun() const
{
    return profileValue(u"SELECT value FROM settings WHERE key='setup_completed'"_s) != u"1"_s;
}

QString SettingsManager::profileValue(const QString &sql) const
{
    return Database::firstRow(m_db->execQuery(sql)).value(u"value"_s).toString();
}

QString SettingsManager::companyName() const
{
    return profileValue(u"SELECT value FROM settings WHERE key='company_name'"_s);
}

QString SettingsManager::companyPhone() const
{
    return profileValue(u"SELECT value FROM settings WHERE key='company_phone'"_s);
}

QString SettingsManager::companyAddress() const
{
    return profileValue(u"SELECT value FROM settings WHERE key='company_address'"_s);
}

QString SettingsManager::companyEmail() const
{
    return profileValue(u"SELECT value FROM settings WHERE key='company_email'"_s);
}

void SettingsManager::setPrimaryCurrency(const QString &code)
{
    if (!Session::permits(m_db, Permissions::Operation::Currencies))
        return;
    // Clearing the old flag without setting the new one would leave no primary currency, so
    // both run or neither; on failure the member and the signal stay as they were.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return;
    if (!m_db->execNonQuery(u"UPDATE currencies SET is_primary=0"_s))
        return;
    if (!m_db->execNonQuery(u"UPDATE currencies SET is_primary=1 WHERE code=?"_s, { code }))
        return;
    if (!guard.commit())
        return;
    m_primaryCurrency = code;
    emit settingsChanged();
}

void SettingsManager::updateCompanyProfile(
    const QString &name, const QString &phone, const QString &addr, const QString &email)
{
    if (!Session::permits(m_db, Permissions::Operation::CompanyProfile))
        return;
    // Half a profile on printed documents is worse than the old one: all four rows or none.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return;
    const QList<QPair<QString, QString>> rows {
        { u"INSERT OR REPLACE INTO settings (key, value) VALUES ('company_name', ?)"_s, name },
        { u"INSERT OR REPLACE INTO settings (key, value) VALUES ('company_phone', ?)"_s, phone },
        { u"INSERT OR REPLACE INTO settings (key, value) VALUES ('company_address', ?)"_s, addr },
        { u"INSERT OR REPLACE INTO settings (key, value) VALUES ('company_email', ?)"_s, email },
    };
    for (const auto &[sql, value] : rows) {
        if (!m_db->execNonQuery(sql, { value }))
            return;
    }
    if (!guard.commit())
        return;
    emit settingsChanged();
}

bool SettingsManager::prorateRent(Database *db)
{
    return Database::firstRow(
               db->execQuery(u"SELECT value FROM settings WHERE key='prorate_rent'"_s))
               .value(u"value"_s)
               .toString()
        == u"1"_s;
}

bool SettingsManager::setProrateRent(bool on)
{
    if (!Session::permits(m_db, Permissions::Operation::DailyWork))
        return false;
    if (!m_db->execNonQuery(
            u"INSERT OR REPLACE INTO settings (key, value) VALUES ('prorate_rent', ?)"_s,
            { on ? u"1"_s : u"0"_s }))
        return false;
    emit settingsChanged();
    return true;
}

QVariantMap SettingsManager::lateFeePolicy(Database *db)
{
    QVariantMap policy { { u"enabled"_s, false }, { u"grace_days"_s, 0 }, { u"mode"_s, u"fixed"_s },
        { u"value"_s, 0.0 } };
    const QVariantList rows
        = db->execQuery(u"SELECT key, value FROM settings WHERE key IN ('late_fee_enabled', "
                        "'late_fee_grace_days', 'late_fee_mode', 'late_fee_value')"_s);
    for (const QVariant &element : rows) {
        const QVariantMap row = element.toMap();
        const QString key = row.value(u"key"_s).toString();
        const QString value = row.value(u"value"_s).toString();
        if (key == u"late_fee_enabled"_s)
            policy.insert(u"enabled"_s, value == u"1"_s);
        else if (key == u"late_fee_grace_days"_s)
            policy.insert(u"grace_days"_s, value.toInt());
        else if (key == u"late_fee_mode"_s)
            policy.insert(u"mode"_s, value == u"percent"_s ? u"percent"_s : u"fixed"_s);
        else
            policy.insert(u"value"_s, value.toDouble());
    }
    return policy;
}

bool SettingsManager::setLateFeePolicy(
    bool enabled, int graceDays, const QString &mode, double value)
{
    if (!Session::permits(m_db, Permissions::Operation::DailyWork))
        return false;
    if (graceDays < 0 || graceDays > 365 || (mode != u"fixed"_s && mode != u"percent"_s)
        || !Money::isAcceptable(value) || Money::cents(value) <= 0
        || (mode == u"percent"_s && Money::compare(value, 100) > 0))
        return false;
    // The four values are one policy: all or none.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    const QList<QPair<QString, QString>> rows {
        { u"late_fee_enabled"_s, enabled ? u"1"_s : u"0"_s },
        { u"late_fee_grace_days"_s, QString::number(graceDays) },
        { u"late_fee_mode"_s, mode },
        { u"late_fee_value"_s, QString::number(Money::round(value), 'f', 2) },
    };
    for (const auto &[key, text] : rows) {
        if (!m_db->execNonQuery(
                u"INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"_s, { key, text }))
            return false;
    }
    if (!guard.commit())
        return false;
    emit settingsChanged();
    return true;
}

double SettingsManager::bounceFee(Database *db)
{
    return Money::round(Database::firstRow(db->execQuery(u"SELECT value FROM settings WHERE "
                                                         "key='cheque_bounce_fee'"_s))
                            .value(u"value"_s)
                            .toDouble());
}

bool SettingsManager::setBounceFee(double fee)
{
    if (!Session::permits(m_db, Permissions::Operation::DailyWork))
        return false;
    if (!Money::isAcceptable(fee) || Money::cents(fee) < 0)
        return false;
    if (!m_db->execNonQuery(
            u"INSERT OR REPLACE INTO settings (key, value) VALUES ('cheque_bounce_fee', ?)"_s,
            { QString::number(Money::round(fee), 'f', 2) }))
        return false;
    emit settingsChanged();
    return true;
}

QVariantList SettingsManager::getCurrencies()
{
    return m_db->execQuery(u"SELECT * FROM currencies ORDER BY is_primary DESC"_s);
}

bool SettingsManager::updateExchangeRate(int fromId, int toId, double rate)
{
    if (!Session::permits(m_db, Permissions::Operation::Currencies))
        return false;
    if (!std::isfinite(rate))
        return false;
    return m_db->execNonQuery(u"INSERT OR REPLACE INTO exchange_rates (from_currency_id,"
                              "to_currency_id,rate,date) VALUES (?,?,?,?)"_s,
        { fromId, toId, rate, QDate::currentDate().toString(Qt::ISODate) });
}

double SettingsManager::getExchangeRate(int fromId, int toId)
{
    if (fromId == toId)
        return 1.0;
    // Rates are directional; a pair without a rate of its own converts one to one.
    const QVariantList rows = m_db->execQuery(
        u"SELECT rate FROM exchange_rates WHERE from_currency_id=? AND to_currency_id=? ORDER BY "
        "date DESC LIMIT 1"_s,
        { fromId, toId });
    if (rows.isEmpty())
        return 1.0;
    return rows.first().toMap().value(u"rate"_s).toDouble();
}

double SettingsManager::convertAmount(double amount, int fromCurrencyId, int toCurrencyId)
{
    return getExchangeRate(fromCurrencyId, toCurrencyId) * amount;
}

bool SettingsManager::completeSetup()
{
    if (!Session::permits(m_db, Permissions::Operation::CompanyProfile))
        return false;
    if (!m_db->execNonQuery(
            u"INSERT OR REPLACE INTO settings (key, value) VALUES ('setup_completed', '1')"_s))
        return false;
    emit settingsChanged();
    return true;
}

QVariantList SettingsManager::currenciesWithoutRate()
{
    return m_db->execQuery(
        u"SELECT c.id, c.code, c.name_ar, c.symbol FROM currencies c WHERE c.is_primary=0 AND "
        "NOT EXISTS (SELECT 1 FROM exchange_rates r JOIN currencies p ON p.id=r.to_currency_id "
        "AND p.is_primary=1 WHERE r.from_currency_id=c.id) ORDER BY c.id"_s);
}
