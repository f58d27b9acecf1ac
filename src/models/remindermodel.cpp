#include "remindermodel.h"

#include "arrears.h"
#include "database.h"
#include "documentlayout.h"
#include "money.h"
#include "session.h"
#include "settingsmanager.h"
#include "transactionguard.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString money(double value) { return QLocale(QLocale::English).toString(value, 'f', 2); }

QString amountText(double value, const QString &symbol) { return money(value) + u" "_s + symbol; }

bool isKind(const QString &kind) { return kind == u"tenant"_s || kind == u"buyer"_s; }

} // namespace

ReminderModel::ReminderModel(Database *db, SettingsManager *settings, QObject *parent)
    : ModelBase(db, parent)
    , m_settings(settings)
{
}

QVariantMap ReminderModel::compose(const QString &kind, int personId)
{
    if (!isKind(kind) || personId < 1)
        return {};
    return letter(kind, personId, Arrears::account(m_db, kind, personId));
}

QVariantMap ReminderModel::letter(const QString &kind, int personId, const QVariantList &arrears)
{
    const bool tenant = kind == u"tenant"_s;
    const QVariantMap person = one(tenant ? u"SELECT full_name, phone FROM tenants WHERE id=?"_s
                                          : u"SELECT full_name, phone FROM buyers WHERE id=?"_s,
        { personId });
    if (person.isEmpty())
        return {};
    const QDate today = QDate::currentDate();
    const QString day = today.toString(Qt::ISODate);

    // What is past due today per currency, as the arrears report counts it.
    QMap<QString, qint64> overdue;
    QStringList order;
    for (const QVariant &item : arrears) {
        const QVariantMap row = item.toMap();
        const QString symbol = row.value(u"currency_symbol"_s).toString();
        if (!overdue.contains(symbol))
            order.append(symbol);
        overdue[symbol] += Money::cents(row.value(u"overdue"_s).toDouble());
    }

    const QString symbolSql = u"COALESCE(c.symbol, (SELECT symbol FROM currencies WHERE "
                              "is_primary=1), '₪') AS currency_symbol"_s;
    const QVariantList due = tenant
        ? list(u"SELECT 'فاتورة' AS description, i.invoice_number AS ref, "
               "COALESCE(i.period, '') AS period, COALESCE(i.due_date, date(i.created_at)) AS "
               "due_date, i.balance AS amount, "_s
                + symbolSql
                + u" FROM invoices i LEFT JOIN currencies c ON c.id=i.currency_id "
                  "WHERE i.tenant_id=? AND i.status!='paid' AND i.status!='void' "
                  "AND COALESCE(i.due_date, date(i.created_at)) < ? AND i.balance > 0.004 "
                  "ORDER BY due_date, i.id"_s,
            { personId, day })
        : list(u"SELECT 'قسط - وحدة ' || u.unit_number || ' (' || p.name || ')' AS description, "
               "COALESCE(i.cheque_number, '') AS ref, '' AS period, i.due_date, "
               "i.installment_amount - i.paid_amount AS amount, "_s
                + symbolSql
                + u" FROM installments i JOIN units u ON u.id=i.unit_id "
                  "JOIN properties p ON p.id=u.property_id "
                  "LEFT JOIN currencies c ON c.id=i.currency_id WHERE i.buyer_id=? "
                  "AND i.due_date < ? AND i.installment_amount - i.paid_amount > 0.004 "
                  "ORDER BY i.due_date, i.id"_s,
            { personId, day });

    QVariantList items;
    QMap<QString, qint64> listed;
    for (const QVariant &item : due) {
        QVariantMap row = item.toMap();
        const QString symbol = row.value(u"currency_symbol"_s).toString();
        if (!overdue.contains(symbol))
            continue;
        listed[symbol] += Money::cents(row.value(u"amount"_s).toDouble());
        const QDate dueDate = QDate::fromString(row.value(u"due_date"_s).toString(), Qt::ISODate);
        row.insert(u"days_late"_s, dueDate.isValid() ? int(dueDate.daysTo(today)) : 0);
        items.append(row);
    }

    // Where the items and the arrears differ, a line says why: a payment on account that the
    // oldest amounts absorb, or a charge with no item of its own (an unpaid down payment).
    QVariantList adjustments;
    QVariantList totals;
    QStringList totalParts;
    for (const QString &symbol : std::as_const(order)) {
        const qint64 owed = overdue.value(symbol);
        if (owed <= 0)
            continue;
        const qint64 difference = owed - listed.value(symbol);
        if (difference != 0)
            adjustments.append(QVariantMap {
                { u"description"_s,
                    difference < 0 ? u"يخصم: دفعات تحت الحساب"_s
                                   : (tenant ? u"مبالغ أخرى مستحقة"_s
                                             : u"الدفعة المقدمة ومبالغ أخرى مستحقة"_s) },
                { u"amount"_s, Money::fromCents(difference) }, { u"currency_symbol"_s, symbol } });
        totals.append(QVariantMap {
            { u"amount"_s, Money::fromCents(owed) }, { u"currency_symbol"_s, symbol } });
        totalParts.append(amountText(Money::fromCents(owed), symbol));
    }
    if (totals.isEmpty())
        items.clear();

    const QString name = person.value(u"full_name"_s).toString();
    const QString company = m_settings->companyName().trimmed();
    const QString phone = m_settings->companyPhone().trimmed();
    const QString address = m_settings->companyAddress().trimmed();
    const QString greeting = u"السيد/السيدة %1 المحترم/ة،"_s.arg(name);
    const QString intro = u"تحية طيبة وبعد، نود تذكيركم بلطف بأن المبالغ التالية قد حلّ موعد "
                          "استحقاقها ولم تُسدَّد بعد حتى تاريخ %1:"_s.arg(day);
    QString howToPay = u"يمكنكم السداد نقداً أو بشيك أو بتحويل بنكي"_s;
    howToPay += address.isEmpty() ? u" لدى مكتبنا"_s : u" لدى مكتبنا في "_s + address;
    // The number as one left-to-right embedding, so a message application keeps its digit groups
    // in order inside the Arabic sentence.
    howToPay += phone.isEmpty() ? u"."_s
                                : u"، وللاستفسار يسعدنا تواصلكم على الرقم "_s + QChar(0x202A)
            + phone + QChar(0x202C) + u"."_s;
    const QString closing = u"إن كنتم قد سددتم هذه المبالغ مؤخراً فنرجو اعتبار هذا التذكير لاغياً، "
                            "ونشكر لكم حسن تعاونكم."_s;
    const QString signer = company.isEmpty() ? u"الإدارة"_s : company;

    QStringList text { greeting, QString(), intro };
    for (const QVariant &item : std::as_const(items)) {
        const QVariantMap row = item.toMap();
        QString line = u"- "_s + row.value(u"description"_s).toString();
        if (!row.value(u"ref"_s).toString().isEmpty())
            line += u" رقم "_s + row.value(u"ref"_s).toString();
        if (!row.value(u"period"_s).toString().isEmpty())
            line += u" عن فترة "_s + row.value(u"period"_s).toString();
        line += u"، استحقت في %1: %2"_s.arg(row.value(u"due_date"_s).toString(),
            amountText(
                row.value(u"amount"_s).toDouble(), row.value(u"currency_symbol"_s).toString()));
        text.append(line);
    }
    for (const QVariant &item : std::as_const(adjustments)) {
        const QVariantMap row = item.toMap();
        text.append(u"- "_s + row.value(u"description"_s).toString() + u": "_s
            + amountText(
                row.value(u"amount"_s).toDouble(), row.value(u"currency_symbol"_s).toString()));
    }
    const QString totalText = totalParts.join(u" + "_s);
    text << u"الإجمالي المستحق: "_s + totalText << QString() << howToPay << closing << QString()
         << u"مع خالص التحية،"_s << signer;

    return { { u"kind"_s, kind }, { u"person_id"_s, personId }, { u"name"_s, name },
        { u"phone"_s, person.value(u"phone"_s) }, { u"date"_s, day },
        { u"overdue"_s, !totals.isEmpty() }, { u"items"_s, items },
        { u"adjustments"_s, adjustments }, { u"totals"_s, totals }, { u"total_text"_s, totalText },
        { u"greeting"_s, greeting }, { u"intro"_s, intro }, { u"how_to_pay"_s, howToPay },
        { u"closing"_s, closing }, { u"signer"_s, signer }, { u"text"_s, text.join(u'\n') } };
}

bool ReminderModel::record(const QVariantMap &letter, const QString &channel)
{
    QStringList what;
    for (const QVariant &item : letter.value(u"items"_s).toList()) {
        const QVariantMap row = item.toMap();
        QString part = row.value(u"description"_s).toString();
        if (!row.value(u"ref"_s).toString().isEmpty())
            part += u" "_s + row.value(u"ref"_s).toString();
        if (!row.value(u"period"_s).toString().isEmpty())
            part += u" ("_s + row.value(u"period"_s).toString() + u")"_s;
        what.append(part + u": "_s
            + amountText(
                row.value(u"amount"_s).toDouble(), row.value(u"currency_symbol"_s).toString()));
    }
    Session *session = m_db->session();
    const bool known = session && session->isActive();
    const QString operatorName = !known ? QString()
        : session->fullName().isEmpty() ? session->username()
                                        : session->fullName();
    return m_db->execInsert(
               u"INSERT INTO reminders (kind, person_id, sent_at, user_id, operator, channel, "
               "details, total) VALUES (?,?,?,?,?,?,?,?)"_s,
               { letter.value(u"kind"_s), letter.value(u"person_id"_s),
                   QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s),
                   known ? QVariant(session->userId()) : QVariant(), operatorName, channel,
                   what.join(u"؛ "_s), letter.value(u"total_text"_s) })
        > 0;
}

QVariantMap ReminderModel::send(const QString &kind, int personId, const QString &channel)
{
    if (!permitted(Operation::DailyWork))
        return {};
    if (channel != u"pdf"_s && channel != u"text"_s)
        return {};
    QVariantMap letter = compose(kind, personId);
    if (!letter.value(u"overdue"_s).toBool())
        return {};
    TransactionGuard guard(m_db);
    if (!guard.isActive() || !record(letter, channel) || !guard.commit())
        return {};
    emit dataChanged();
    emit sent(1, channel);
    return letter;
}

QVariantList ReminderModel::sendAll(int propertyId, const QString &channel)
{
    if (!permitted(Operation::DailyWork))
        return {};
    if (channel != u"pdf"_s && channel != u"text"_s)
        return {};
    // Every account's rows from one reading of the arrears. A property chooses who is written to
    // (those late there), never what their letter says.
    QList<QPair<QString, int>> order;
    QHash<QPair<QString, int>, QVariantList> accounts;
    QSet<QPair<QString, int>> chosen;
    for (const QVariant &item : Arrears::rows(m_db, 0, u"name"_s)) {
        const QVariantMap row = item.toMap();
        const QPair<QString, int> who { row.value(u"kind"_s).toString(),
            row.value(u"person_id"_s).toInt() };
        if (!accounts.contains(who))
            order.append(who);
        accounts[who].append(row);
        if ((propertyId < 1 || row.value(u"property_id"_s).toInt() == propertyId)
            && Money::cents(row.value(u"overdue"_s).toDouble()) > 0)
            chosen.insert(who);
    }
    QVariantList letters;
    for (const auto &who : std::as_const(order)) {
        if (!chosen.contains(who))
            continue;
        const QVariantMap composed = letter(who.first, who.second, accounts.value(who));
        if (composed.value(u"overdue"_s).toBool())
            letters.append(composed);
    }
    if (letters.isEmpty())
        return {};
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return {};
    for (const QVariant &letter : std::as_const(letters)) {
        if (!record(letter.toMap(), channel))
            return {};
    }
    if (!guard.commit())
        return {};
    emit dataChanged();
    emit sent(int(letters.size()), channel);
    return letters;
}

QVariantList ReminderModel::history(const QString &kind, int personId)
{
    return list(
        u"SELECT id, sent_at, COALESCE(operator, '') AS operator, channel, details, "
        "total FROM reminders WHERE kind=? AND person_id=? ORDER BY sent_at DESC, id DESC"_s,
        { kind, personId });
}
