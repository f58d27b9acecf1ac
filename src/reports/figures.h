#pragma once

#include <QString>
#include <QStringList>

class Database;

// The one definition of each figure that several places show (dashboard, property cards,
// reports), so they always agree. Amounts in other currencies are converted to the primary
// currency at the latest rate on or before the money's own date (unconverted when no rate is
// known); void invoices and the payments on them never count.
class Figures
{
public:
    // Rented units over the units that can be rented (sold ones cannot), in percent; 0 without
    // any. A property id of 0 means the whole portfolio.
    static double occupancy(Database *db, int propertyId = 0);
    // Rent and service collections (payments of tenants) between two days, inclusive.
    static double rentCollections(
        Database *db, const QString &from, const QString &to, int propertyId = 0);
    // Sale money (down payments and installments collected) between two days, inclusive.
    static double saleCollections(
        Database *db, const QString &from, const QString &to, int propertyId = 0);
    // Expenses paid between two days, inclusive.
    static double expensesPaid(
        Database *db, const QString &from, const QString &to, int propertyId = 0);
    // Collections of both kinds less expenses paid, between two days.
    static double cashAvailable(Database *db, const QString &from, const QString &to);

    // Agreed sale prices of the sold units, each in its sale's currency at the sale date.
    static double salesValue(Database *db, int propertyId = 0);
    // Asking prices of the units still available, at today's rate.
    static double unsoldValue(Database *db, int propertyId = 0);
    // Installment money still owed, each installment at its due date; with `dueBefore` set, only
    // installments due before that day.
    static double installmentsOwed(Database *db, const QString &dueBefore = QString());
    // Balances of open invoices, each at its issue date; with `dueBefore` set, only invoices due
    // before that day.
    static double invoicesOwed(Database *db, const QString &dueBefore = QString());

    // Codes of the currencies some of whose money is older than their first rate to the primary
    // currency: the totals above count that money unconverted, and the pages say so.
    static QStringList currenciesWithoutRate(Database *db);

    // An SQL expression converting `amountColumn` of a row with `currencyColumn` and
    // `dateColumn` to the primary currency.
    static QString inPrimary(
        const QString &amountColumn, const QString &currencyColumn, const QString &dateColumn);
};
