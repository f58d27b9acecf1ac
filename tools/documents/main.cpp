// Writes every printed document from the demo portfolio into one folder.
//   documents --out DIR

#include "appobjects.h"
#include "database.h"
#include "demodata.h"
#include "documentlayout.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes every printed document of the demo portfolio."_s);
    parser.addHelpOption();
    const QCommandLineOption outOption(u"out"_s, u"Folder for the PDF files."_s, u"dir"_s);
    parser.addOption(outOption);
    parser.process(app);
    QTextStream err(stderr);
    const QString out = parser.value(outOption);
    if (out.isEmpty() || !QDir().mkpath(out)) {
        err << "documents: give --out DIR (a folder that can be created)\n";
        return 2;
    }

    QTemporaryDir data;
    Database database;
    if (!data.isValid() || !database.initialize(data.path() + u"/belvardino.db"_s)) {
        err << "documents: cannot create the demo database\n";
        return 1;
    }
    AppObjects objects(&database, data.path());
    DemoData::fill(&database);
    objects.settingsManager.updateCompanyProfile(u"شركة بلفاردينو العقارية"_s,
        u"+970 59 123 4567"_s, u"رام الله - شارع الإرسال، عمارة النخيل"_s, u"info@belvardino.ps"_s);

    PrintController &print = objects.printCtrl;
    ReportController &reports = objects.reportCtrl;
    int failures = 0;
    const auto save = [&](const DocumentLayout &layout, const QString &name) {
        if (!print.savePdf(layout, out + u"/"_s + name + u".pdf"_s, name)) {
            err << "documents: cannot write " << name << "\n";
            ++failures;
        }
    };

    const QDate today = QDate::currentDate();
    const QString from = QDate(today.year(), 1, 1).toString(Qt::ISODate);
    const QString to = today.toString(Qt::ISODate);
    for (const QString &kind :
        { u"analysis"_s, u"financial"_s, u"projects"_s, u"units"_s, u"overdue"_s, u"cheques"_s })
        save(
            *print.documentLayout(reports.getPrintableReport(kind, from, to)), u"report-"_s + kind);

    const auto first
        = [&](const QString &sql) { return Database::firstRow(database.execQuery(sql)); };
    const int cash = first(u"SELECT id FROM accounts WHERE code='1100'"_s).value(u"id"_s).toInt();
    save(*print.documentLayout(objects.accountModel.ledgerDocument(
             cash, today.addMonths(-3).toString(Qt::ISODate), to)),
        u"ledger-cash"_s);
    const QVariantMap tenant = first(u"SELECT t.id, t.full_name FROM tenants t JOIN payments p "
                                     "ON p.tenant_id=t.id GROUP BY t.id ORDER BY COUNT(*) DESC "
                                     "LIMIT 1"_s);
    save(*print.accountStatementLayout(tenant.value(u"full_name"_s).toString(), u"مستأجر"_s,
             reports.getTenantAccount(tenant.value(u"id"_s).toInt())),
        u"statement-tenant"_s);
    save(*print.accountStatementLayout(tenant.value(u"full_name"_s).toString(), u"مستأجر"_s,
             reports.getTenantAccount(
                 tenant.value(u"id"_s).toInt(), today.addMonths(-3).toString(Qt::ISODate), to)),
        u"statement-tenant-range"_s);
    const QVariantMap buyer = first(u"SELECT b.id, b.full_name FROM buyers b JOIN installments i "
                                    "ON i.buyer_id=b.id GROUP BY b.id LIMIT 1"_s);
    save(*print.accountStatementLayout(buyer.value(u"full_name"_s).toString(), u"مشتري"_s,
             reports.getBuyerAccount(buyer.value(u"id"_s).toInt())),
        u"statement-buyer"_s);
    const QVariantMap contractor = first(u"SELECT c.id, c.name FROM contractors c JOIN expenses e "
                                         "ON e.contractor_id=c.id GROUP BY c.id LIMIT 1"_s);
    save(*print.accountStatementLayout(contractor.value(u"name"_s).toString(), u"مقاول"_s,
             reports.getContractorAccount(contractor.value(u"id"_s).toInt())),
        u"statement-contractor"_s);
    // The general report of a plain list, as the other pages print it.
    save(*print.reportLayout(u"قائمة المستأجرين"_s,
             database.execQuery(u"SELECT full_name, phone, balance FROM tenants"_s), {}),
        u"report-list"_s);
    return failures == 0 ? 0 : 1;
}
