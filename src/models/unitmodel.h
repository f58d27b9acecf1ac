#pragma once

#include "modelbase.h"

// Units of the properties, with their asking prices and status.
class UnitModel : public ModelBase
{
    Q_OBJECT
public:
    explicit UnitModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getByProperty(int propertyId);
    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE int add(int propertyId, const QString &number, int floor, double area, int rooms,
        double rentMonthly, double rentYearly, double salePrice, int currencyId);
    Q_INVOKABLE bool update(int id, const QString &number, int floor, double area, int rooms,
        double rentMonthly, double rentYearly, double salePrice);
    Q_INVOKABLE bool remove(int id);
    Q_INVOKABLE bool updateStatus(int id, const QString &status);
    Q_INVOKABLE QVariantList getAvailable();
    Q_INVOKABLE bool markAsSold(int unitId, int buyerId, double price, const QString &date);
};
