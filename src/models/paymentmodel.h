#pragma once

#include "modelbase.h"

// Money received from tenants against their invoices. A payment moves its amount from the
// invoice's balance to its paid amount and lowers the tenant's balance.
class PaymentModel : public ModelBase
{
    Q_OBJECT
public:
    explicit PaymentModel(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getAll();
    // The first `limit` rows of getAll, for a page that shows a large history a screenful at a
    // time.
    Q_INVOKABLE QVariantList getLatest(int limit);
    Q_INVOKABLE int add(int invoiceId, int tenantId, double amount, const QString &method,
        const QString &date, const QString &ref, int currId);
    Q_INVOKABLE QVariantList getByTenant(int tenantId);
    Q_INVOKABLE QVariantList getRecent(int limit = 10);
};
