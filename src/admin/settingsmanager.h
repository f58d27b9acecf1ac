#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

// Application-wide settings: first-run state, the primary currency, the company profile printed
// on documents, and exchange-rate lookup and conversion.
class SettingsManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isFirstRun READ isFirstRun NOTIFY settingsChanged)
    Q_PROPERTY(QString primaryCurrency READ primaryCurrency NOTIFY settingsChanged)
    Q_PROPERTY(QString companyName READ companyName NOTIFY settingsChanged)
    Q_PROPERTY(QString companyPhone READ companyPhone NOTIFY settingsChanged)
    Q_PROPERTY(QString companyAddress READ companyAddress NOTIFY settingsChanged)
    Q_PROPERTY(QString companyEmail READ companyEmail NOTIFY settingsChanged)
    Q_PROPERTY(bool prorateRent READ prorateRent NOTIFY settingsChanged)
    // The late-fee policy: enabled, grace_days, mode ("fixed" or "percent") and value (an amount
    // in the primary currency, or a percentage of the overdue amount). Off until chosen.
    Q_PROPERTY(QVariantMap lateFeePolicy READ lateFeePolicy NOTIFY settingsChanged)
    Q_PROPERTY(double bounceFee READ bounceFee NOTIFY settingsChanged)
public:
    explicit SettingsManager(Database *db, QObject *parent = nullptr);

    // Until the administrator finishes the setup page; read from the database each time.
    bool isFirstRun() const;
    QString primaryCurrency() const { return m_primaryCurrency; }
    QString companyName() const;
    QString companyPhone() const;
    QString companyAddress() const;
    QString companyEmail() const;
    // Whether a lease's first and last month bill only the days it covers. Off until chosen.
    bool prorateRent() const { return prorateRent(m_db); }
    static bool prorateRent(Database *db);
    QVariantMap lateFeePolicy() const { return lateFeePolicy(m_db); }
    static QVariantMap lateFeePolicy(Database *db);
    // What a bounced cheque costs its drawer; 0 (nothing charged) until set.
    double bounceFee() const { return bounceFee(m_db); }
    static double bounceFee(Database *db);

    Q_INVOKABLE void setPrimaryCurrency(const QString &code);
    Q_INVOKABLE void updateCompanyProfile(
        const QString &name, const QString &phone, const QString &addr, const QString &email);
    Q_INVOKABLE QVariantList getCurrencies();
    Q_INVOKABLE bool updateExchangeRate(int fromId, int toId, double rate);
    Q_INVOKABLE double getExchangeRate(int fromId, int toId);
    Q_INVOKABLE double convertAmount(double amount, int fromCurrencyId, int toCurrencyId);
    // Records that setup is done, so it is not asked again (administrator only).
    Q_INVOKABLE bool completeSetup();
    // The other currencies whose rate to the primary one has never been entered.
    Q_INVOKABLE QVariantList currenciesWithoutRate();
    Q_INVOKABLE bool setProrateRent(bool on);
    // Refused (false) for negative or over a year of grace days, an unknown mode, a fixed amount
    // that is not positive, or a percentage outside (0, 100].
    Q_INVOKABLE bool setLateFeePolicy(
        bool enabled, int graceDays, const QString &mode, double value);
    Q_INVOKABLE bool setBounceFee(double fee);

signals:
    void settingsChanged();

private:
    QString profileValue(const QString &sql) const;

    Database *m_db;
    QString m_primaryCurrency;
};
