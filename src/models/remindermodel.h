#pragma once

#include "modelbase.h"

class SettingsManager;

// Polite payment reminders to tenants and buyers ("tenant"/"buyer") with something past due, and
// the record of each one sent. A letter lists the overdue invoices or installments and its total
// per currency equals the account's past-due arrears (Arrears), so the reminder, the arrears
// report and the statement tell the same story.
class ReminderModel : public ModelBase
{
    Q_OBJECT
public:
    ReminderModel(Database *db, SettingsManager *settings, QObject *parent = nullptr);

    // The letter, unrecorded: {kind, person_id, name, phone, date, overdue (whether anything is
    // past due), items [{description, ref, period, due_date, days_late, amount, currency_symbol}],
    // adjustments [{description, amount, currency_symbol}], totals [{amount, currency_symbol}],
    // total_text, greeting, intro, how_to_pay, closing, signer, text (the whole letter as plain
    // text)}.
    Q_INVOKABLE QVariantMap compose(const QString &kind, int personId);
    // Records a reminder sent by `channel` ("pdf" or "text") and returns its letter with the new
    // `id`; an empty map when nothing is past due, when refused or on failure.
    Q_INVOKABLE QVariantMap send(const QString &kind, int personId, const QString &channel);
    // A letter for every account with something past due (in one property when `propertyId` is
    // above 0: the letter still lists all that is late), all recorded or none; an empty list when
    // there is none, refused or failed.
    Q_INVOKABLE QVariantList sendAll(int propertyId, const QString &channel);
    // The reminders sent to one tenant or buyer, newest first: sent_at, operator, channel,
    // details, total.
    Q_INVOKABLE QVariantList history(const QString &kind, int personId);

signals:
    // Reminders were recorded: how many and by which channel.
    void sent(int count, const QString &channel);

private:
    // The letter from the account's arrears rows (Arrears::account).
    QVariantMap letter(const QString &kind, int personId, const QVariantList &arrears);
    bool record(const QVariantMap &letter, const QString &channel);

    SettingsManager *m_settings;
};
