#include "voucherbook.h"

#include "database.h"
#include "money.h"
#include "session.h"
#include "transactionguard.h"

#include <QDate>

using namespace Qt::StringLiterals;

VoucherBook::VoucherBook(Database *db)
    : m_db(db)
{
}

QString VoucherBook::kindName(Kind kind)
{
    return kind == Kind::Receipt ? u"receipt"_s : u"payment"_s;
}

QString VoucherBook::number(Kind kind, int year, int serial)
{
    return u"%1-%2-%3"_s.arg(kind == Kind::Receipt ? u"RCV"_s : u"PAY"_s)
        .arg(year)
        .arg(serial, 5, 10, QLatin1Char('0'));
}

int VoucherBook::issue(const Entry &entry)
{
    // A record dated loosely (imported, typed by hand) is receipted on the day it is written.
    QDate day = QDate::fromString(entry.date.left(10), u"yyyy-MM-dd"_s);
    if (!day.isValid())
        day = QDate::currentDate();
    const qint64 cents = Money::cents(entry.amount);
    if (cents <= 0 || entry.source.isEmpty())
        return -1;

    QString name = entry.partyName.trimmed();
    if (name.isEmpty() && entry.partyId > 0) {
        const QString table = entry.partyType == u"tenant"_s ? u"tenants"_s
            : entry.partyType == u"buyer"_s                  ? u"buyers"_s
            : entry.partyType == u"contractor"_s             ? u"contractors"_s
                                                             : QString();
        if (!table.isEmpty()) {
            const QString column = table == u"contractors"_s ? u"name"_s : u"full_name"_s;
            name = Database::firstRow(
                m_db->execQuery(
                    u"SELECT %1 AS n FROM %2 WHERE id=?"_s.arg(column, table), { entry.partyId }))
                       .value(u"n"_s)
                       .toString();
        }
    }
    QString operatorName;
    if (const Session *session = m_db->session())
        operatorName = session->fullName().isEmpty() ? session->username() : session->fullName();

    // The serial is read and taken in one statement of the caller's transaction: a failed write
    // afterwards rolls it back with everything else, so the next voucher gets the same number.
    const QString kind = kindName(entry.kind);
    const QString prefix = entry.kind == Kind::Receipt ? u"RCV"_s : u"PAY"_s;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int id = m_db->execInsert(
        u"INSERT INTO vouchers (kind, year, serial, number, voucher_date, party_type, party_id, "
        "party_name, amount, currency_id, purpose, method, reference, bank_name, cheque_due, "
        "operator, source, source_id) "
        "SELECT ?, CAST(? AS INTEGER), n, ? || printf('%05d', n), ?, ?, CAST(? AS INTEGER), ?, "
        "CAST(? AS DOUBLE PRECISION), CAST(? AS INTEGER), ?, ?, ?, ?, ?, ?, ?, "
        "CAST(? AS INTEGER) FROM (SELECT COALESCE(MAX(serial), 0) + 1 AS n FROM vouchers "
        "WHERE kind=? AND year=?) AS next"_s,
        { kind, day.year(), u"%1-%2-"_s.arg(prefix).arg(day.year()), day.toString(u"yyyy-MM-dd"_s),
            entry.partyType, entry.partyId > 0 ? QVariant(entry.partyId) : QVariant(), name,
            Money::fromCents(cents), entry.currencyId > 0 ? QVariant(entry.currencyId) : QVariant(),
            entry.purpose, entry.method, entry.reference, entry.bankName, entry.chequeDue,
            operatorName, entry.source, entry.sourceId > 0 ? QVariant(entry.sourceId) : QVariant(),
            kind, day.year() });
    if (id < 1 || !guard.commit())
        return -1;
    return id;
}

bool VoucherBook::cancel(int voucherId, const QString &reason)
{
    const QVariantMap row = Database::firstRow(
        m_db->execQuery(u"SELECT status FROM vouchers WHERE id=?"_s, { voucherId }));
    if (row.value(u"status"_s).toString() != u"valid"_s)
        return false;
    return m_db->execNonQuery(u"UPDATE vouchers SET status='void', void_reason=?, "
                              "voided_at=datetime('now','localtime') WHERE id=?"_s,
        { reason, voucherId });
}
