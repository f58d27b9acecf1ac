#include "testfixture.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kAdminConnection = u"belvardino_test_admin"_s;

QString urlOf(const QString &database)
{
    static const QRegularExpression path(u"^(postgres(?:ql)?://[^/?]*)(/[^?]*)?(\\?.*)?$"_s);
    QString url = TestFixture::serverUrl();
    return url.replace(path, u"\\1/"_s + database + u"\\3"_s);
}

bool runOnServer(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(kAdminConnection));
    if (query.exec(sql))
        return true;
    qWarning("%s: %s", qUtf8Printable(sql), qUtf8Printable(query.lastError().text()));
    return false;
}

QString templateName() { return u"bvt_%1_template"_s.arg(QCoreApplication::applicationPid()); }

void dropTemplate()
{
    runOnServer(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(templateName()));
    QSqlDatabase::database(kAdminConnection).close();
}

// The program's databases are copies of one laid out on its first use: copying is several times
// faster than building the layout statement by statement.
bool prepareServer()
{
    static int state = 0;
    if (state != 0)
        return state > 0;
    state = -1;
    QSqlDatabase admin = QSqlDatabase::addDatabase(u"QPSQL"_s, kAdminConnection);
    if (!Database::applyServerUrl(admin, TestFixture::serverUrl()) || !admin.open())
        return false;
    runOnServer(u"SET client_min_messages TO warning"_s);
    runOnServer(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(templateName()));
    if (!runOnServer(u"CREATE DATABASE %1"_s.arg(templateName())))
        return false;
    {
        Database layout;
        if (!layout.initialize(urlOf(templateName()), u"belvardino_test_template"_s))
            return false;
    }
    QSqlDatabase::removeDatabase(u"belvardino_test_template"_s);
    qAddPostRoutine(dropTemplate);
    state = 1;
    return true;
}

} // namespace

TestFixture::TestFixture()
    : m_db(std::make_unique<Database>())
{
    if (!m_dir.isValid())
        qFatal("test directory could not be created");
    // For finding why a statement failed: BELVARDINO_TEST_TRACE=1 prints every database error.
    if (qEnvironmentVariableIsSet("BELVARDINO_TEST_TRACE"))
        QObject::connect(m_db.get(), &Database::databaseError,
            [](const QString &error) { qDebug("database error: %s", qUtf8Printable(error)); });
    if (serverUrl().isEmpty()) {
        if (!m_db->initialize(dbPath()))
            qFatal("test database could not be created");
        return;
    }
    static int serial = 0;
    m_serverDatabase = u"bvt_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++serial);
    if (!prepareServer()
        || !runOnServer(u"CREATE DATABASE %1 TEMPLATE %2"_s.arg(m_serverDatabase, templateName()))
        || !m_db->initialize(urlOf(m_serverDatabase)))
        qFatal("test database could not be created on the server");
}

TestFixture::~TestFixture()
{
    if (m_serverDatabase.isEmpty())
        return;
    m_db.reset();
    runOnServer(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(m_serverDatabase));
}

QString TestFixture::serverUrl() { return qEnvironmentVariable("BELVARDINO_TEST_PG"); }

QString TestFixture::target() const
{
    return m_serverDatabase.isEmpty() ? dbPath() : urlOf(m_serverDatabase);
}

QVariant TestFixture::scalar(const QString &sql, const QVariantList &params)
{
    const QVariantMap row = Database::firstRow(m_db->execQuery(sql, params));
    return row.isEmpty() ? QVariant() : row.constBegin().value();
}

QString TestFixture::joined(
    const QString &sql, const QVariantList &params, const QString &separator)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(sql);
    for (const QVariant &param : params)
        query.addBindValue(param);
    if (!query.exec()) {
        QTest::qFail(qPrintable(query.lastError().text()), __FILE__, __LINE__);
        return {};
    }
    QStringList values;
    while (query.next()) {
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            if (value.typeId() != QMetaType::Double) {
                values << value.toString();
                continue;
            }
            // SQLite writes a real with up to 15 digits, and always with a decimal point.
            QString text = QString::number(value.toDouble(), 'g', 15);
            if (!text.contains(u'.') && !text.contains(u'e') && !text.contains(u'n'))
                text += u".0"_s;
            values << text;
        }
    }
    return values.join(separator);
}

QString TestFixture::writeMark()
{
    if (!m_db->isServer())
        return scalar(u"SELECT total_changes()"_s).toString();
    QStringList digests;
    for (const QVariant &row :
        m_db->execQuery(u"SELECT tablename FROM pg_tables WHERE "
                        "schemaname=current_schema() ORDER BY tablename"_s)) {
        const QString table = row.toMap().value(u"tablename"_s).toString();
        digests << table + u':'
                + scalar(u"SELECT md5(COALESCE(string_agg(t::text, '|' ORDER BY t::text), '')) "
                         "FROM "_s
                    + table + u" t"_s)
                      .toString();
    }
    return digests.join(u' ');
}

int TestFixture::count(const QString &table)
{
    return scalar(u"SELECT COUNT(*) AS c FROM "_s + table).toInt();
}

int TestFixture::insert(const QString &sql, const QVariantList &params)
{
    const int id = m_db->execInsert(sql, params);
    if (id < 1)
        QTest::qFail("fixture insert failed", __FILE__, __LINE__);
    return id;
}

void TestFixture::failWrites(const QString &table, const QString &event, const QString &condition)
{
    const QString name = u"forced_failure_%1"_s.arg(++m_failures);
    m_forcedFailures.append({ name, table });
    if (m_db->isServer()) {
        // A server's trigger condition may not hold a query, so the function tests it.
        const QString test = condition.isEmpty() ? u"true"_s : condition;
        if (!m_db->execNonQuery(u"CREATE OR REPLACE FUNCTION bv_%1() RETURNS trigger LANGUAGE "
                                "plpgsql AS $f$ BEGIN IF %2 THEN RAISE EXCEPTION 'forced "
                                "failure'; END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; "
                                "RETURN NEW; END $f$"_s.arg(name, test))
            || !m_db->execNonQuery(u"CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE "
                                   "FUNCTION bv_%1()"_s.arg(name, event, table)))
            QTest::qFail("failure trigger could not be created", __FILE__, __LINE__);
        return;
    }
    const QString when = condition.isEmpty() ? QString() : u" WHEN "_s + condition;
    const QString sql = u"CREATE TEMP TRIGGER %1 BEFORE %2 ON %3%4 "
                        "BEGIN SELECT RAISE(ABORT, 'forced failure'); END"_s;
    if (!m_db->execNonQuery(sql.arg(name, event, table, when)))
        QTest::qFail("failure trigger could not be created", __FILE__, __LINE__);
}

void TestFixture::allowWrites()
{
    for (const auto &[name, table] : std::as_const(m_forcedFailures)) {
        const bool dropped = m_db->isServer()
            ? m_db->execNonQuery(u"DROP TRIGGER %1 ON %2"_s.arg(name, table))
                && m_db->execNonQuery(u"DROP FUNCTION bv_%1()"_s.arg(name))
            : m_db->execNonQuery(u"DROP TRIGGER temp.%1"_s.arg(name));
        if (!dropped)
            QTest::qFail("failure trigger could not be dropped", __FILE__, __LINE__);
    }
    m_forcedFailures.clear();
}

double TestFixture::tenantBalance(int tenantId)
{
    return scalar(u"SELECT balance FROM tenants WHERE id=?"_s, { tenantId }).toDouble();
}

QStringList TestFixture::columnsOf(const QString &table)
{
    QStringList names;
    const QVariantList rows = m_db->isServer()
        ? m_db->execQuery(u"SELECT column_name AS name FROM information_schema.columns WHERE "
                          "table_schema=current_schema() AND table_name=? "
                          "ORDER BY ordinal_position"_s,
            { table })
        : m_db->execQuery(u"PRAGMA table_info("_s + table + u")"_s);
    for (const QVariant &row : rows)
        names.append(row.toMap().value(u"name"_s).toString());
    return names;
}

void TestFixture::addRate(int fromCurrency, int toCurrency, double rate, const QDate &date)
{
    insert(u"INSERT INTO exchange_rates (from_currency_id, to_currency_id, rate, date) "
           "VALUES (?,?,?,?)"_s,
        { fromCurrency, toCurrency, rate, iso(date) });
}

QDate TestFixture::sqliteToday()
{
    return QDate::fromString(scalar(u"SELECT date('now','localtime')"_s).toString(), Qt::ISODate);
}

int TestFixture::addProperty(const QString &name, const QString &type)
{
    const int id = insert(u"INSERT INTO properties (name, type) VALUES (?, ?)"_s, { name, type });
    insert(u"INSERT INTO cost_centers (name, type, property_id) VALUES (?, 'project', ?)"_s,
        { name, id });
    return id;
}

int TestFixture::addUnit(int propertyId, const QString &number, double rentMonthly,
    const QString &status, double area, double salePrice)
{
    return insert(u"INSERT INTO units (property_id, unit_number, floor, area, rooms, rent_monthly, "
                  "rent_yearly, sale_price, status, currency_id) VALUES (?,?,1,?,3,?,?,?,?,1)"_s,
        { propertyId, number, area, rentMonthly, rentMonthly * 12, salePrice, status });
}

int TestFixture::addTenant(const QString &name, const QString &idNumber)
{
    return insert(
        u"INSERT INTO tenants (full_name, id_number, phone) VALUES (?, ?, '0599000000')"_s,
        { name, idNumber.isNull() ? QVariant() : QVariant(idNumber) });
}

int TestFixture::addBuyer(const QString &name, const QString &idNumber)
{
    return insert(u"INSERT INTO buyers (full_name, id_number, phone) VALUES (?, ?, '0598000000')"_s,
        { name, idNumber.isNull() ? QVariant() : QVariant(idNumber) });
}

int TestFixture::addLease(int unitId, int tenantId, const QDate &start, const QDate &end,
    double rent, const QString &status, int currencyId)
{
    return insert(u"INSERT INTO contracts (unit_id, tenant_id, start_date, end_date, rent_amount, "
                  "status, currency_id) VALUES (?,?,?,?,?,?,?)"_s,
        { unitId, tenantId, iso(start), iso(end), rent, status,
            currencyId > 0 ? QVariant(currencyId) : QVariant() });
}

int TestFixture::addInvoice(int tenantId, int unitId, const QString &period, double total,
    const QString &status, double paid)
{
    static int serial = 0;
    const QString number = u"FIX-"_s + QString::number(++serial);
    return insert(
        u"INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, total_amount, "
        "paid_amount, balance, status, currency_id, due_date) VALUES (?,?,?,?,?,?,?,?,1,?)"_s,
        { number, tenantId, unitId > 0 ? QVariant(unitId) : QVariant(), period, total, paid,
            total - paid, status, period + u"-28"_s });
}

int TestFixture::addPayment(int invoiceId, int tenantId, double amount, const QDate &date)
{
    return insert(
        u"INSERT INTO payments (invoice_id, tenant_id, amount, payment_date, currency_id) "
        "VALUES (?,?,?,?,1)"_s,
        { invoiceId > 0 ? QVariant(invoiceId) : QVariant(),
            tenantId > 0 ? QVariant(tenantId) : QVariant(), amount, iso(date) });
}

int TestFixture::addExpense(
    int propertyId, int unitId, double amount, const QDate &date, int contractorId)
{
    return insert(u"INSERT INTO expenses (property_id, unit_id, category, amount, expense_date, "
                  "currency_id, contractor_id) VALUES (?,?,'تشغيل',?,?,1,?)"_s,
        { propertyId > 0 ? QVariant(propertyId) : QVariant(),
            unitId > 0 ? QVariant(unitId) : QVariant(), amount, iso(date),
            contractorId > 0 ? QVariant(contractorId) : QVariant() });
}

int TestFixture::addInstallment(
    int buyerId, int unitId, double amount, const QDate &due, double paid, const QString &status)
{
    return insert(u"INSERT INTO installments (buyer_id, unit_id, total_price, down_payment, "
                  "installment_amount, due_date, paid_amount, status, currency_id) "
                  "VALUES (?,?,?,0,?,?,?,?,1)"_s,
        { buyerId, unitId, amount, amount, iso(due), paid, status });
}

int TestFixture::addCheque(const QString &number, double amount, const QDate &due,
    const QString &status, const QString &type)
{
    return insert(
        u"INSERT INTO cheques (cheque_number, type, amount, due_date, status, currency_id) "
        "VALUES (?,?,?,?,?,1)"_s,
        { number, type, amount, iso(due), status });
}

FakeDesktop::FakeDesktop()
{
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home.path() + u"/.config"_s).toUtf8());
    QDesktopServices::setUrlHandler(u"file"_s, this, "open");
}

FakeDesktop::~FakeDesktop() { QDesktopServices::unsetUrlHandler(u"file"_s); }
