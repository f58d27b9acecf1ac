#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class Database;

// What every tenant and buyer owes today, by how long it has been due: not yet due, 1–30, 31–60,
// 61–90 and over 90 days past due. Open invoices and installments are aged by their due dates;
// what an account credits without naming an item (a payment not tied to an invoice, a down
// payment) settles its oldest amounts first, so each account's buckets add up to its statement's
// closing balance in every currency. Amounts stay in their own currency; the converted figures
// take each amount at the rate of its own date (invoices at issue, installments when due).
class Arrears
{
public:
    // Bucket keys, youngest first.
    static const QStringList &buckets();

    // One row per account, property and currency with an open amount: kind ("tenant"/"buyer"),
    // person_id, name, phone, property_id, property_name, currency_id, currency_symbol, each
    // bucket, overdue (all past due), total, and the same as `<key>_primary` in the primary
    // currency. A property id above 0 keeps that property's rows. Sorted by `sortKey` ("name",
    // "property", "total", "over90", or "overdue" when unknown), largest amounts first.
    static QVariantList rows(Database *db, int propertyId = 0, const QString &sortKey = QString(),
        const QDate &today = QDate::currentDate());

    // The report: {rows, property_totals (per property and currency), totals (per currency),
    // total_primary (per bucket, converted), primary_symbol, note}.
    static QVariantMap report(Database *db, int propertyId = 0, const QString &sortKey = QString(),
        const QDate &today = QDate::currentDate());

    // The dashboard's figures: over_30 (converted to the primary currency), accounts_over_90
    // (tenants and buyers with something over 90 days past due), primary_symbol.
    static QVariantMap summary(Database *db, const QDate &today = QDate::currentDate());

    // One account's rows (kind "tenant" or "buyer"), every property, per currency.
    static QVariantList account(
        Database *db, const QString &kind, int personId, const QDate &today = QDate::currentDate());
};
