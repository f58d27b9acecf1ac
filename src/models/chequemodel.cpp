#include "chequemodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

ChequeModel::ChequeModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList ChequeModel::getAll()
{
    return list(u"SELECT c.*, cur.symbol as currency_symbol, cur.code as currency_code FROM "
                "cheques c LEFT JOIN currencies cur ON c.currency_id=cur.id ORDER BY c.due_date "
                "DESC"_s);
}

int ChequeModel::add(const QString &num, const QString &type, double amount, const QString &bank,
    const QString &dueDate, const QString &payerPayee, int currId, double exchangeRate, int buyerId,
    int tenantId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isFinite(amount) || !isFinite(exchangeRate))
        return -1;
    // One counter-party field in the dialog; the type says which side of the cheque it is.
    const QString payer = type == u"received"_s ? payerPayee : u""_s;
    const QString payee = type == u"issued"_s ? payerPayee : u""_s;
    // There is no rate column; the rate travels in the notes.
    const QString notes = u"exchange_rate=%1"_s.arg(QString::number(exchangeRate, 'g', 6));
    return create(u"INSERT INTO cheques (cheque_number,type,amount,bank_name,issue_date,due_date,"
                  "payer_name,payee_name,status,currency_id,buyer_id,tenant_id,notes) VALUES "
                  "(?,?,?,?,date('now','localtime'),?,?,?,?,?,?,?,?)"_s,
        { num, type, amount, bank, dueDate, payer, payee, u"pending"_s, currId, optionalId(buyerId),
            optionalId(tenantId), notes });
}

bool ChequeModel::updateStatus(int id, const QString &status)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return change(u"UPDATE cheques SET status=? WHERE id=?"_s, { status, id });
}

bool ChequeModel::update(int id, const QString &num, double amount, const QString &bank,
    const QString &dueDate, const QString &payerPayee)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(amount) || num.trimmed().isEmpty())
        return false;
    if (one(u"SELECT status FROM cheques WHERE id=?"_s, { id }).value(u"status"_s).toString()
        != u"pending"_s)
        return false;
    // The counter-party goes to the side the cheque's type names, as when it was added.
    return change(u"UPDATE cheques SET cheque_number=?, amount=?, bank_name=?, due_date=?, "
                  "payer_name=CASE WHEN type='received' THEN ? ELSE payer_name END, "
                  "payee_name=CASE WHEN type='issued' THEN ? ELSE payee_name END "
                  "WHERE id=?"_s,
        { num, amount, bank, dueDate, payerPayee, payerPayee, id });
}

QVariantList ChequeModel::getByType(const QString &type)
{
    return list(u"SELECT c.*, cur.symbol as currency_symbol FROM cheques c LEFT JOIN currencies "
                "cur ON c.currency_id=cur.id WHERE c.type=? ORDER BY c.due_date DESC"_s,
        { type });
}

QVariantList ChequeModel::getByStatus(const QString &status)
{
    return list(u"SELECT c.*, cur.symbol as currency_symbol FROM cheques c LEFT JOIN currencies "
                "cur ON c.currency_id=cur.id WHERE c.status=? ORDER BY c.due_date"_s,
        { status });
}

QVariantList ChequeModel::getPending()
{
    return list(u"SELECT c.*, cur.symbol as currency_symbol FROM cheques c LEFT JOIN currencies "
                "cur ON c.currency_id=cur.id WHERE c.status='pending' ORDER BY c.due_date"_s);
}

QVariantList ChequeModel::getPostDated()
{
    return list(u"SELECT c.*, cur.symbol as currency_symbol FROM cheques c LEFT JOIN currencies "
                "cur ON c.currency_id=cur.id WHERE c.status='pending' AND c.due_date > "
                "date('now','localtime') ORDER BY c.due_date"_s);
}
