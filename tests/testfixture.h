#pragma once

#include "database.h"

#include <QDate>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariantList>
#include <memory>

// A fresh, initialised database in its own temporary directory, plus builders that write rows
// straight through SQL so a test of one model does not lean on another model's code. With
// BELVARDINO_TEST_PG set to a server's URL, the database is instead a fresh one on that server,
// copied from a template laid out once per test program, and dropped afterwards.
class TestFixture
{
public:
    TestFixture();
    ~TestFixture();

    // The server URL the tests run against, or empty for SQLite files.
    static QString serverUrl();

    Database *db() { return m_db.get(); }
    QString dataDir() const { return m_dir.path(); }
    QString dbPath() const { return m_dir.path() + QStringLiteral("/belvardino.db"); }
    // What db() was opened on: the file, or the server database's URL.
    QString target() const;

    // One value of the first row, or an invalid variant.
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    int count(const QString &table);
    // Changes whenever anything is written: SQLite's count of changed rows, or on a server a
    // digest of every row of every table.
    QString writeMark();
    // Every value of every row, in order, as SQLite writes it as text (a real always with its
    // decimal point), joined by the separator: one expected text then serves both backends.
    QString joined(const QString &sql, const QVariantList &params = {},
        const QString &separator = QStringLiteral("/"));

    int addProperty(const QString &name = QStringLiteral("برج النخيل"),
        const QString &type = QStringLiteral("residential"));
    int addUnit(int propertyId, const QString &number, double rentMonthly = 1000,
        const QString &status = QStringLiteral("available"), double area = 100,
        double salePrice = 0);
    int addTenant(const QString &name, const QString &idNumber = QString());
    int addBuyer(const QString &name, const QString &idNumber = QString());
    int addLease(int unitId, int tenantId, const QDate &start, const QDate &end, double rent,
        const QString &status = QStringLiteral("active"), int currencyId = 1);
    int addInvoice(int tenantId, int unitId, const QString &period, double total,
        const QString &status = QStringLiteral("pending"), double paid = 0);
    int addPayment(int invoiceId, int tenantId, double amount, const QDate &date);
    int addExpense(
        int propertyId, int unitId, double amount, const QDate &date, int contractorId = 0);
    int addInstallment(int buyerId, int unitId, double amount, const QDate &due, double paid = 0,
        const QString &status = QStringLiteral("pending"));
    int addCheque(const QString &number, double amount, const QDate &due,
        const QString &status = QStringLiteral("pending"),
        const QString &type = QStringLiteral("received"));

    // Insert and return the new id, failing the current test on error.
    int insert(const QString &sql, const QVariantList &params);

    // From now on every matching write to the table fails, as a full disk or a broken row would.
    // event: INSERT, UPDATE or UPDATE OF <column>; condition: an optional WHEN clause.
    void failWrites(const QString &table, const QString &event = QStringLiteral("INSERT"),
        const QString &condition = QString());
    // Writes succeed again: every failure set up by failWrites is removed.
    void allowWrites();

    double tenantBalance(int tenantId);
    QStringList columnsOf(const QString &table);
    void addRate(int fromCurrency, int toCurrency, double rate, const QDate &date);
    // SQLite's idea of the local today, which the SQL date('now','localtime') comparisons use.
    QDate sqliteToday();

    static QString iso(const QDate &date) { return date.toString(Qt::ISODate); }
    static QDate today() { return QDate::currentDate(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    int m_failures = 0;
    // Each forced-failure trigger with its table, which a server needs to drop it.
    QList<QPair<QString, QString>> m_forcedFailures;
    QString m_serverDatabase;
};

// Points HOME at a private folder and catches the files and folders the application opens.
class FakeDesktop : public QObject
{
    Q_OBJECT
public:
    FakeDesktop();
    ~FakeDesktop() override;

    QString home() const { return m_home.path(); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }

private:
    QTemporaryDir m_home;
};
