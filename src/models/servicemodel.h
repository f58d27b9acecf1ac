#pragma once

#include "modelbase.h"

// The catalogue of billable services (water, electricity, cleaning, lift, guarding...): a name,
// how it is billed ('fixed' per month or by 'usage'), and its rate. Also the meter readings of
// the services billed by usage, entered a property and a month at a time.
class ServiceModel : public ModelBase
{
    Q_OBJECT
    // Why the last refused save was refused, as a sentence for the user; empty after a success.
    Q_PROPERTY(QString lastRefusal READ lastRefusal NOTIFY outcomeChanged)
public:
    explicit ServiceModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);

    // One row per unit of the property (sold ones aside) and service billed by usage, for the
    // month `period` ("yyyy-MM"): unit_id, unit_number, tenant_name, service_id, service_name,
    // rate, unit_of_measure, previous_reading (the last reading of an earlier month, or 0),
    // previous_period, the month's record if any (record_id, current_reading, consumption, cost,
    // meter_replaced), locked (1 when the reading is billed or a later month has one) and
    // late (1 when the month's rent invoice was issued without this reading).
    Q_INVOKABLE QVariantList readingSheet(int propertyId, const QString &period);
    // Stores the readings of `rows` (maps with unit_id, service_id, current_reading and
    // meter_replaced) in one transaction; a row without a reading is left out. Consumption and
    // cost come from the previous reading and the service's rate. Returns how many readings
    // were stored, or -1 when any row is refused (nothing is stored then).
    Q_INVOKABLE int saveReadings(int propertyId, const QString &period, const QVariantList &rows);

    QString lastRefusal() const { return m_lastRefusal; }

signals:
    void outcomeChanged();

private:
    void refuse(const QString &why);

    QString m_lastRefusal;
};
