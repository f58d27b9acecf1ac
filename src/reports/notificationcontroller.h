#pragma once

#include <QObject>
#include <QVariantList>

class Database;

// Today's alerts, recomputed on every call from local calendar dates; nothing is stored.
class NotificationController : public QObject
{
    Q_OBJECT
public:
    explicit NotificationController(Database *db, QObject *parent = nullptr);

    Q_INVOKABLE QVariantList getActiveAlerts();
    Q_INVOKABLE int getAlertCount();
    // Alerts have no identity or read state, so there is nothing to mark.
    Q_INVOKABLE void markAsRead(int alertId);

private:
    Database *m_db;
};
