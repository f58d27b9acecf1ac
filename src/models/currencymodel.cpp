#include "currencymodel.h"

#include "database.h"

#include <QDate>

using namespace Qt::StringLiterals;

CurrencyModel::CurrencyModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList CurrencyModel::getAll()
{
    return list(u"SELECT * FROM currencies ORDER BY is_primary DESC"_s);
}

QVariantMap CurrencyModel::getPrimary()
{
    return one(u"SELECT * FROM currencies WHERE is_primary=1"_s);
}

QString CurrencyModel::getSymbol(int id)
{
    return one(u"SELECT symbol FROM currencies WHERE id=?"_s, { id }).value(u"symbol"_s).toString();
}

QVariantList CurrencyModel::getExchangeRates()
{
    // Only the latest day's table: earlier rates remain as history for conversion.
    return list(u"SELECT er.*, c1.code as from_code, c1.name_ar as from_name, c2.code as to_code, "
                "c2.name_ar as to_name FROM exchange_rates er JOIN currencies c1 ON "
                "er.from_currency_id=c1.id JOIN currencies c2 ON er.to_currency_id=c2.id WHERE "
                "er.date=(SELECT MAX(date) FROM exchange_rates) ORDER BY er.id"_s);
}

bool CurrencyModel::setRate(int fromId, int toId, double rate)
{
    if (!permitted(Operation::Currencies))
        return false;
    if (!isFinite(rate))
        return false;
    return change(u"INSERT OR REPLACE INTO exchange_rates (from_currency_id,to_currency_id,rate,"
                  "date) VALUES (?,?,?,?)"_s,
        { fromId, toId, rate, QDate::currentDate().toString(Qt::ISODate) });
}
