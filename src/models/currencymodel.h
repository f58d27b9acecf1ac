#pragma once

#include "modelbase.h"

// The fixed list of currencies and the dated, directional exchange rates between them.
class CurrencyModel : public ModelBase
{
    Q_OBJECT
public:
    explicit CurrencyModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    Q_INVOKABLE QVariantMap getPrimary();
    Q_INVOKABLE QString getSymbol(int id);
    Q_INVOKABLE QVariantList getExchangeRates();
    Q_INVOKABLE bool setRate(int fromId, int toId, double rate);
};
