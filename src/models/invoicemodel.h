#pragma once

#include "modelbase.h"

// Tenant invoices: listing, custom invoices, monthly rent and service runs, voiding, and the
// "INV-yyyyMM-nnnn" numbering. Issuing raises the tenant's balance by the invoice total.
class InvoiceModel : public ModelBase
{
    Q_OBJECT
public:
    explicit InvoiceModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    // The first `limit` rows of getAll, for a page that shows a large history a screenful at a
    // time.
    Q_INVOKABLE QVariantList getLatest(int limit);
    Q_INVOKABLE QVariantMap getById(int id);
    Q_INVOKABLE QVariantList getItems(int invoiceId);
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    Q_INVOKABLE int createInvoice(
        int tenantId, int unitId, const QString &period, const QVariantList &items, int currencyId);
    Q_INVOKABLE bool updatePaidAmount(int id, double amount);
    Q_INVOKABLE bool voidInvoice(int id);

    Q_INVOKABLE int generateAllRent(const QString &period);
    Q_INVOKABLE int generateServiceInvoice(const QVariantList &tenantIds,
        const QString &serviceName, double amount, const QString &period, int currencyId);
    Q_INVOKABLE int generatePropertyServiceInvoice(int propertyId, const QString &serviceName,
        double amount, const QString &period, int currencyId);

private:
    struct Draft;
    struct Numbering;

    QString nextInvoiceNumber();
    Numbering startNumbering();
    int issue(const Draft &draft, Numbering *carried);
    bool hasInvoiceFor(const QVariant &tenantId, const QString &period);
};
