#include "notificationcontroller.h"

#include "chequemodel.h"
#include "database.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

// recordKind/recordId name what "متابعة" opens: the buyer's schedule, the tenant's leases, the
// cheque.
QVariantMap alert(const QString &type, const QString &title, const QString &detail,
    const QString &severity, const QString &recordKind, const QVariant &recordId)
{
    return { { u"type"_s, type }, { u"title"_s, title }, { u"detail"_s, detail },
        { u"severity"_s, severity }, { u"recordKind"_s, recordKind },
        { u"recordId"_s, recordId.toInt() } };
}

QString text(const QVariantMap &row, const QString &key) { return row.value(key).toString(); }

}

NotificationController::NotificationController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

QVariantList NotificationController::getActiveAlerts()
{
    const QDate now = QDate::currentDate();
    const QString today = now.toString(u"yyyy-MM-dd"_s);
    const QString yesterday = now.addDays(-1).toString(u"yyyy-MM-dd"_s);
    const QString inAWeek = now.addDays(7).toString(u"yyyy-MM-dd"_s);

    QVariantList alerts;

    // Today and yesterday are "due"; anything older is "overdue"; the two never overlap.
    const QVariantList due = m_db->execQueryColumns(
        u"SELECT i.*, b.full_name as buyer_name, u.unit_number FROM installments i "
        "JOIN buyers b ON i.buyer_id = b.id JOIN units u ON i.unit_id = u.id "
        "WHERE (i.due_date = ? OR i.due_date = ?) AND i.status != 'paid'"_s,
        { today, yesterday },
        { u"buyer_id"_s, u"buyer_name"_s, u"unit_number"_s, u"installment_amount"_s });
    for (const QVariant &item : due) {
        const QVariantMap row = item.toMap();
        alerts.append(
            alert(u"payment_due"_s, u"دفعة مستحقة (اليوم/أمس): "_s + text(row, u"buyer_name"_s),
                u"الوحدة: "_s + text(row, u"unit_number"_s) + u" - المبلغ: "_s
                    + text(row, u"installment_amount"_s) + u" ₪"_s,
                u"high"_s, u"buyer"_s, row.value(u"buyer_id"_s)));
    }

    const QVariantList overdue = m_db->execQueryColumns(
        u"SELECT i.*, b.full_name as buyer_name FROM installments i "
        "JOIN buyers b ON i.buyer_id = b.id WHERE i.due_date < ? AND i.status != 'paid'"_s,
        { yesterday }, { u"buyer_id"_s, u"buyer_name"_s, u"due_date"_s });
    for (const QVariant &item : overdue) {
        const QVariantMap row = item.toMap();
        alerts.append(alert(u"overdue"_s, u"قسط متأخر جداً: "_s + text(row, u"buyer_name"_s),
            u"استحق في: "_s + text(row, u"due_date"_s), u"critical"_s, u"buyer"_s,
            row.value(u"buyer_id"_s)));
    }

    // A received cheque past its day and still in the drawer has its own, stronger alert; one
    // whose installment was paid some other way is only waiting to be handed back.
    const QVariantList undeposited = m_db->execQueryColumns(
        u"SELECT * FROM cheques c WHERE type='received' AND status='pending' AND due_date < ? "
        "AND NOT EXISTS (SELECT 1 FROM installments n WHERE n.id=c.installment_id AND "
        "n.status='paid') ORDER BY due_date"_s,
        { today }, { u"id"_s, u"cheque_number"_s, u"amount"_s, u"due_date"_s, u"payer_name"_s });
    for (const QVariant &item : undeposited) {
        const QVariantMap row = item.toMap();
        alerts.append(
            alert(u"cheque_overdue"_s, u"شيك استحق ولم يودع: "_s + text(row, u"payer_name"_s),
                u"رقم: "_s + text(row, u"cheque_number"_s) + u" - مبلغ: "_s + text(row, u"amount"_s)
                    + u" - استحق في: "_s + text(row, u"due_date"_s),
                u"high"_s, u"cheque"_s, row.value(u"id"_s)));
    }

    // Stays until a replacement cheque or a payment settles it.
    for (const QVariant &item : ChequeModel::unsettledBounces(m_db)) {
        const QVariantMap row = item.toMap();
        const QString party = text(row, u"party_name"_s).isEmpty() ? text(row, u"payer_name"_s)
                                                                   : text(row, u"party_name"_s);
        alerts.append(alert(u"cheque_bounced"_s, u"شيك مرتجع بلا بديل: "_s + party,
            u"رقم: "_s + text(row, u"cheque_number"_s) + u" - مبلغ: "_s + text(row, u"amount"_s),
            u"critical"_s, u"cheque"_s, row.value(u"id"_s)));
    }

    const QVariantList cheques = m_db->execQueryColumns(
        u"SELECT * FROM cheques WHERE due_date <= ? AND status = 'pending' "
        "AND NOT (type='received' AND due_date < ?)"_s,
        { inAWeek, today }, { u"id"_s, u"cheque_number"_s, u"amount"_s });
    for (const QVariant &item : cheques) {
        const QVariantMap row = item.toMap();
        alerts.append(alert(u"cheque"_s, u"شيك مستحق خلال أسبوع"_s,
            u"رقم: "_s + text(row, u"cheque_number"_s) + u" - مبلغ: "_s + text(row, u"amount"_s),
            u"medium"_s, u"cheque"_s, row.value(u"id"_s)));
    }

    const QString inAMonth = now.addDays(30).toString(u"yyyy-MM-dd"_s);
    const QVariantList contracts = m_db->execQueryColumns(
        u"SELECT c.*, t.full_name as tenant_name FROM contracts c "
        "JOIN tenants t ON c.tenant_id = t.id WHERE c.end_date <= ? AND c.status = 'active'"_s,
        { inAMonth }, { u"id"_s, u"tenant_id"_s, u"tenant_name"_s, u"end_date"_s });
    for (const QVariant &item : contracts) {
        const QVariantMap row = item.toMap();
        QVariantMap ending
            = alert(u"contract"_s, u"عقد ينتهي قريباً: "_s + text(row, u"tenant_name"_s),
                u"تاريخ الانتهاء: "_s + text(row, u"end_date"_s), u"low"_s, u"tenant"_s,
                row.value(u"tenant_id"_s));
        // The alert offers the lease's renewal.
        ending.insert(u"contract_id"_s, row.value(u"id"_s));
        alerts.append(ending);
    }

    return alerts;
}

int NotificationController::getAlertCount() { return static_cast<int>(getActiveAlerts().size()); }

void NotificationController::markAsRead(int alertId) { Q_UNUSED(alertId) }
