// Renders the interface offscreen on the demo portfolio and saves one PNG per screen.
//   screenshots --out DIR

#include "appobjects.h"
#include "database.h"
#include "demodata.h"
#include "pagedlistmodel.h"
#include "scenechoice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

int g_warnings = 0;
// Pages fill their long figures in from it: a shot waits for them.
BackgroundReader *g_reader = nullptr;

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    for (int waited = 0; g_reader && g_reader->pending() > 0 && waited < 600; ++waited) {
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

int firstId(Database &db, const QString &sql)
{
    const QVariantList rows = db.execQuery(sql);
    return rows.isEmpty() ? 0 : rows.first().toMap().value(u"id"_s).toInt();
}

QString firstName(Database &db, const QString &sql)
{
    const QVariantList rows = db.execQuery(sql);
    return rows.isEmpty() ? QString() : rows.first().toMap().value(u"name"_s).toString();
}

// Through QObject children, visual children and popups' content items.
QObject *search(QObject *obj, const QString &name, int depth)
{
    if (!obj || depth > 80)
        return nullptr;
    if (obj->objectName() == name)
        return obj;
    QList<QObject *> next = obj->children();
    if (auto *item = qobject_cast<QQuickItem *>(obj)) {
        for (QQuickItem *child : item->childItems()) {
            if (!next.contains(child))
                next << child;
        }
    } else if (obj->inherits("QQuickPopup")) {
        if (auto *content = obj->property("contentItem").value<QQuickItem *>())
            next << content;
    }
    for (QObject *child : next) {
        if (QObject *found = search(child, name, depth + 1))
            return found;
    }
    return nullptr;
}

class Shooter
{
public:
    Shooter(QQuickWindow *window, const QString &dir, const QString &suffix)
        : m_window(window)
        , m_dir(dir)
        , m_suffix(suffix)
    {
    }

    void shot(const QString &name)
    {
        settle(450);
        const QImage image = m_window->grabWindow();
        const QString file = m_dir + u"/"_s + name + u"-"_s + m_suffix + u".png"_s;
        if (image.isNull() || !image.save(file))
            QTextStream(stderr) << "screenshots: could not write " << file << "\n";
        else
            ++saved;
    }

    QObject *find(const QString &name) const { return search(m_window->contentItem(), name, 0); }

    int saved = 0;

private:
    QQuickWindow *m_window;
    QString m_dir;
    QString m_suffix;
};

void openDialog(Shooter &s, QObject *dialog, const QVariantMap &properties, const QString &name)
{
    if (!dialog) {
        QTextStream(stderr) << "screenshots: no dialog for " << name << "\n";
        return;
    }
    for (auto it = properties.begin(); it != properties.end(); ++it)
        dialog->setProperty(it.key().toUtf8().constData(), it.value());
    QMetaObject::invokeMethod(dialog, "open");
    s.shot(name);
}

void closeDialog(QObject *dialog)
{
    if (dialog)
        QMetaObject::invokeMethod(dialog, "close");
    settle(250);
}

// A dialog that opens on a row of its list (a correction, a collection), shot and closed.
void openForRow(Shooter &s, const QString &objectName, const QVariant &row, const QString &name)
{
    QObject *dialog = s.find(objectName);
    if (!dialog || !row.isValid()) {
        QTextStream(stderr) << "screenshots: no dialog or row for " << name << "\n";
        return;
    }
    QMetaObject::invokeMethod(dialog, "openFor", Q_ARG(QVariant, row));
    s.shot(name);
    closeDialog(dialog);
}

// The first row of a list property of `owner`.
// The rows a page lists, as far as they were read: a list of maps or a paged list.
QVariantList rowsOf(QObject *owner, const char *property)
{
    const QVariant value = owner ? owner->property(property) : QVariant();
    if (auto *paged = qobject_cast<PagedListModel *>(value.value<QObject *>())) {
        QVariantList rows;
        for (int i = 0; i < paged->count(); ++i)
            rows << paged->get(i);
        return rows;
    }
    return value.toList();
}

QVariant firstRow(QObject *owner, const char *property)
{
    const QVariantList rows = rowsOf(owner, property);
    return rows.isEmpty() ? QVariant() : rows.first();
}

// The accounting, payments, cheques, invoices, maintenance, reports, users and settings pages:
// their tabs and every dialog they open.
void shootLaterPages(Shooter &s, QObject *shell, const QVariantMap &samples)
{
    auto select = [&](int index) {
        QMetaObject::invokeMethod(shell, "selectPage", Q_ARG(QVariant, index));
    };
    auto tab = [&](const QString &chips, int index, const QString &name) {
        if (QObject *row = s.find(chips))
            row->setProperty("currentIndex", index);
        // Pages reload on the chips' signal; a changed index is enough for the stacks.
        if (QObject *row = s.find(chips))
            QMetaObject::invokeMethod(row, "selected", Q_ARG(int, index));
        s.shot(name);
    };
    auto dialog = [&](const QString &objectName, const QVariantMap &before,
                      const QVariantMap &after, const QString &name) {
        QObject *d = s.find(objectName);
        if (!d) {
            QTextStream(stderr) << "screenshots: no dialog for " << name << "\n";
            return;
        }
        for (auto it = before.begin(); it != before.end(); ++it)
            d->setProperty(it.key().toUtf8().constData(), it.value());
        QMetaObject::invokeMethod(d, "open");
        settle(250);
        for (auto it = after.begin(); it != after.end(); ++it)
            d->setProperty(it.key().toUtf8().constData(), it.value());
        s.shot(name);
        closeDialog(d);
    };

    select(4);
    tab(u"accountingTab"_s, 1, u"50-accounting-journal"_s);
    tab(u"accountingTab"_s, 2, u"51-accounting-contractors"_s);
    tab(u"accountingTab"_s, 3, u"51-accounting-trial-balance"_s);
    if (QObject *box = s.find(u"ledgerAccountBox"_s))
        box->setProperty("currentIndex", 1);
    if (QObject *ledger = s.find(u"ledgerView"_s))
        QMetaObject::invokeMethod(ledger, "reload");
    tab(u"accountingTab"_s, 4, u"51-accounting-ledger"_s);
    tab(u"accountingTab"_s, 5, u"51-accounting-books-settings"_s);
    openForRow(s, u"entryDialog"_s, 1, u"52-dialog-journal-entry-lines"_s);
    dialog(u"journalDialog"_s, {}, {}, u"52-dialog-journal-entry"_s);
    dialog(u"contractorDialog"_s, {}, {}, u"53-dialog-contractor"_s);
    const QVariantMap contractor { { u"id"_s, 1 }, { u"name"_s, u"مؤسسة الأمل للكهرباء"_s },
        { u"balance"_s, 4250.5 } };
    dialog(u"contractorPaymentDialog"_s, { { u"contractor"_s, contractor } }, {},
        u"53-dialog-contractor-payment"_s);
    dialog(u"contractorStatementDialog"_s,
        { { u"contractorId"_s, 1 }, { u"contractorName"_s, contractor.value(u"name"_s) } }, {},
        u"53-dialog-contractor-statement"_s);
    const QVariantMap account { { u"id"_s, 1 }, { u"code"_s, u"1100"_s },
        { u"name_ar"_s, u"الصندوق"_s } };
    dialog(
        u"renameAccountDialog"_s, { { u"account"_s, account } }, {}, u"53-dialog-rename-account"_s);
    tab(u"accountingTab"_s, 0, u"50-accounting-accounts"_s);

    select(5);
    dialog(u"paymentDialog"_s, {}, {}, u"54-dialog-payment"_s);
    dialog(u"reversePaymentDialog"_s, { { u"payment"_s, samples.value(u"payment"_s) } }, {},
        u"54-dialog-reverse-payment"_s);
    dialog(u"settlementDialog"_s, {}, {}, u"54-dialog-settlement"_s);
    tab(u"paymentsTabs"_s, 1, u"54-payments-vouchers"_s);
    tab(u"paymentsTabs"_s, 0, u"54-payments-list"_s);

    select(6);
    tab(u"chequeTab"_s, 3, u"55-cheques-postdated"_s);
    tab(u"chequeTab"_s, 0, u"55-cheques-all"_s);
    dialog(u"newChequeDialog"_s, {}, {}, u"56-dialog-new-cheque"_s);
    QObject *chequesPage = s.find(u"chequesPage"_s);
    if (chequesPage)
        openForRow(
            s, u"newChequeDialog"_s, firstRow(chequesPage, "cheques"), u"56-dialog-edit-cheque"_s);
    if (QObject *confirm
        = chequesPage ? chequesPage->findChild<QObject *>(u"confirmDialog"_s) : nullptr) {
        QMetaObject::invokeMethod(confirm, "ask", Q_ARG(QVariant, u"ارتجاع الشيك"_s),
            Q_ARG(QVariant, u"سيُسجل الشيك رقم 100234 بمبلغ 2,500 ₪ (سامر خليل) كشيك مرتجع."_s),
            Q_ARG(QVariant, u"✕ ارتجاع"_s), Q_ARG(QVariant, QVariant()), Q_ARG(QVariant, true));
        s.shot(u"56-dialog-confirm"_s);
        closeDialog(confirm);
        const QStringList reasons { u"عدم كفاية الرصيد"_s, u"خطأ في التوقيع"_s };
        QMetaObject::invokeMethod(confirm, "askChoice", Q_ARG(QVariant, u"ارتجاع الشيك"_s),
            Q_ARG(QVariant,
                u"سيُسجل الشيك رقم 100234 بمبلغ 2,500 ₪ (سامر خليل) كشيك مرتجع وتُعكس الدفعة التي سجلها تحصيله."_s),
            Q_ARG(QVariant, u"✕ ارتجاع"_s), Q_ARG(QVariant, u"سبب الارتجاع"_s),
            Q_ARG(QVariant, reasons), Q_ARG(QVariant, QVariant()), Q_ARG(QVariant, true));
        s.shot(u"56-dialog-confirm-bounce"_s);
        closeDialog(confirm);
    }
    // A cheque's details: a bounced one offers its replacement, a pending one its links.
    const auto chequeWith = [chequesPage](const QString &status) {
        const QVariantList rows = rowsOf(chequesPage, "cheques");
        QVariant any;
        for (const QVariant &row : rows) {
            const QVariantMap cheque = row.toMap();
            if (cheque.value(u"status"_s) != status)
                continue;
            if (cheque.value(u"type"_s) == u"received"_s)
                return row;
            if (!any.isValid())
                any = row;
        }
        return any;
    };
    openForRow(
        s, u"chequeDetailsDialog"_s, chequeWith(u"bounced"_s), u"56-dialog-cheque-bounced"_s);
    openForRow(s, u"chequeDetailsDialog"_s, chequeWith(u"pending"_s), u"56-dialog-cheque-link"_s);
    tab(u"chequeTab"_s, 4, u"55-cheques-calendar"_s);
    tab(u"calendarSpan"_s, 2, u"55-cheques-calendar-90"_s);
    tab(u"chequeTab"_s, 0, u"55-cheques-all"_s);

    select(7);
    dialog(u"rentRunDialog"_s, {}, {}, u"57-dialog-rent-run"_s);
    const QVariantList items = {
        QVariantMap { { u"description"_s, u"مياه"_s }, { u"type"_s, u"service"_s },
            { u"quantity"_s, 1 }, { u"unit_price"_s, 120 }, { u"total"_s, 120 } },
        QVariantMap { { u"description"_s, u"كهرباء"_s }, { u"type"_s, u"service"_s },
            { u"quantity"_s, 1 }, { u"unit_price"_s, 80.5 }, { u"total"_s, 80.5 } },
    };
    dialog(u"customInvoiceDialog"_s, {}, { { u"items"_s, items } }, u"58-dialog-custom-invoice"_s);
    dialog(u"serviceInvoiceDialog"_s, {}, {}, u"59-dialog-service-invoice"_s);
    dialog(u"invoiceResultDialog"_s, { { u"count"_s, 12 } }, {}, u"60-dialog-invoice-result"_s);
    dialog(u"invoiceResultDialog"_s, { { u"count"_s, 0 } }, {}, u"61-dialog-invoice-result-none"_s);
    dialog(u"invoiceResultDialog"_s,
        { { u"count"_s, 0 }, { u"report"_s, samples.value(u"rerunReport"_s) } }, {},
        u"61-dialog-invoice-result-rerun"_s);
    dialog(u"voidInvoiceDialog"_s, { { u"invoiceId"_s, samples.value(u"openInvoice"_s) } }, {},
        u"61-dialog-void-invoice"_s);
    dialog(u"voidInvoiceDialog"_s, { { u"invoiceId"_s, samples.value(u"paidInvoice"_s) } }, {},
        u"61-dialog-void-invoice-refused"_s);
    dialog(u"meterReadingsDialog"_s, {}, {}, u"61-dialog-meter-readings"_s);
    dialog(u"lateFeeRunDialog"_s, {}, {}, u"61-dialog-late-fees"_s);

    select(8);
    tab(u"maintenanceFilter"_s, 3, u"62-maintenance-completed"_s);
    tab(u"maintenanceFilter"_s, 0, u"62-maintenance-all"_s);
    tab(u"maintenanceSection"_s, 1, u"62-maintenance-expenses"_s);
    dialog(u"expenseDialog"_s, {}, {}, u"62-dialog-expense"_s);
    tab(u"maintenanceSection"_s, 0, u"62-maintenance-requests"_s);
    dialog(u"maintenanceRequestDialog"_s, {}, {}, u"63-dialog-maintenance-request"_s);
    dialog(u"completeMaintenanceDialog"_s, { { u"requestTitle"_s, u"تسريب مياه في المطبخ"_s } }, {},
        u"64-dialog-complete-maintenance"_s);

    select(9);
    const QStringList reportTabs
        = { u"insights"_s, u"financial"_s, u"projects"_s, u"units"_s, u"overdue"_s, u"cheques"_s };
    for (int i = reportTabs.size() - 1; i >= 0; --i)
        tab(u"reportTab"_s, i, QString::asprintf("%02d-reports-", 65 + i) + reportTabs.at(i));
    tab(u"reportTab"_s, 6, u"65-reports-arrears"_s);
    if (QObject *confirm = s.find(u"arrearsConfirm"_s)) {
        QMetaObject::invokeMethod(confirm, "ask", Q_ARG(QVariant, u"تذكير كل المتأخرين"_s),
            Q_ARG(QVariant,
                u"ستُكتب رسالة تذكير لكل حساب عليه مبالغ متأخرة في ملف PDF واحد، ويُسجل كل تذكير في سجل صاحبه."_s),
            Q_ARG(QVariant, u"✉ تذكير الجميع"_s), Q_ARG(QVariant, QVariant()),
            Q_ARG(QVariant, false));
        s.shot(u"65-reports-arrears-confirm"_s);
        closeDialog(confirm);
    }
    if (QObject *chips = s.find(u"reportTab"_s))
        chips->setProperty("currentIndex", 0);

    select(10);
    dialog(u"addUserDialog"_s, {}, {}, u"71-dialog-add-user"_s);
    tab(u"usersTabs"_s, 1, u"71-users-audit"_s);
    if (QObject *chips = s.find(u"usersTabs"_s))
        chips->setProperty("currentIndex", 0);

    select(11);
    if (QObject *view = s.find(u"settingsScroll"_s)) {
        if (auto *flick = view->property("contentItem").value<QObject *>()) {
            const double bottom = flick->property("contentHeight").toDouble()
                - flick->property("height").toDouble();
            flick->setProperty("contentY", qMax(0.0, bottom));
        }
    }
    s.shot(u"72-settings-bottom"_s);
    if (QObject *server = s.find(u"dataLocationChoice1"_s)) {
        QMetaObject::invokeMethod(server, "clicked");
        s.shot(u"73-settings-server"_s);
        QMetaObject::invokeMethod(s.find(u"dataLocationChoice0"_s), "clicked");
    }
    // The line a lost server shows, over the dashboard (it follows the connection otherwise).
    if (QObject *lost = s.find(u"connectionLostMessage"_s)) {
        select(0);
        lost->setProperty("visible", true);
        s.shot(u"74-connection-lost"_s);
        lost->setProperty("visible", false);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Belvardino"_s);
    QApplication::setApplicationName(u"Belvardino"_s);
    QQuickStyle::setStyle(u"Basic"_s);
    SceneChoice::apply();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Renders every screen of the interface as PNG files."_s);
    parser.addHelpOption();
    const QCommandLineOption outOption(
        u"out"_s, u"Folder for the PNG files."_s, u"dir"_s, u"screenshots"_s);
    parser.addOption(outOption);
    parser.process(app);
    const QString out = QDir(parser.value(outOption)).absolutePath();
    QDir().mkpath(out);

    QTemporaryDir dataDir;
    Database database;
    if (!dataDir.isValid() || !database.initialize(dataDir.path() + u"/belvardino.db"_s)) {
        QTextStream(stderr) << "screenshots: cannot create the demo database\n";
        return 1;
    }
    AppObjects objects(&database, dataDir.path());
    g_reader = &objects.background;
    DemoData::fill(&database);

    const int property = firstId(database, u"SELECT id FROM properties ORDER BY id"_s);
    const QString propertyName = firstName(database, u"SELECT name FROM properties ORDER BY id"_s);
    const int tenant = firstId(database,
        u"SELECT t.id FROM tenants t JOIN contracts c ON c.tenant_id=t.id GROUP BY t.id ORDER BY COUNT(*) DESC, t.id"_s);
    const QString tenantName = firstName(database,
        u"SELECT t.full_name as name FROM tenants t JOIN contracts c ON c.tenant_id=t.id GROUP BY t.id ORDER BY COUNT(*) DESC, t.id"_s);
    const int buyer = firstId(database,
        u"SELECT b.id FROM buyers b JOIN installments i ON i.buyer_id=b.id GROUP BY b.id ORDER BY COUNT(*) DESC, b.id"_s);
    const QString buyerName = firstName(database,
        u"SELECT b.full_name as name FROM buyers b JOIN installments i ON i.buyer_id=b.id GROUP BY b.id ORDER BY COUNT(*) DESC, b.id"_s);

    // Reminders already sent, so the statements show their history.
    objects.reminderModel.sendAll(0, u"text"_s);
    // The tenant's leases ask for a deposit; the first one is received and held.
    database.execNonQuery(
        u"UPDATE contracts SET deposit=1500 WHERE tenant_id=? AND status='active'"_s, { tenant });
    objects.depositModel.receive(
        firstId(database,
            u"SELECT id FROM contracts WHERE tenant_id=%1 AND status='active' ORDER BY id"_s.arg(
                tenant)),
        QDate::currentDate().toString(Qt::ISODate), u"cash"_s, {});
    const QVariant heldDeposit = objects.depositModel.getByTenant(tenant).value(0);

    // Running this month again issues nothing and reports every lease as already billed.
    objects.invoiceModel.generateAllRent(QDate::currentDate().toString(u"yyyy-MM"_s));
    // Last month's meters of the first property read, and two of this month's read after its
    // rent went out; the tenant's lease renewed once, for its history.
    const auto readMeters = [&](const QString &period, int limit, double base) {
        QVariantList rows;
        for (const QVariant &element : objects.serviceModel.readingSheet(property, period)) {
            QVariantMap row = element.toMap();
            if (rows.size() >= limit)
                break;
            row.insert(u"current_reading"_s,
                row.value(u"previous_reading"_s).toDouble() + base + 7.5 * rows.size());
            rows.append(row);
        }
        objects.serviceModel.saveReadings(property, period, rows);
    };
    readMeters(QDate::currentDate().addMonths(-1).toString(u"yyyy-MM"_s), 1000, 120);
    readMeters(QDate::currentDate().toString(u"yyyy-MM"_s), 2, 14);
    const int lease = firstId(database,
        u"SELECT id FROM contracts WHERE tenant_id=%1 AND status='active' ORDER BY id"_s.arg(
            tenant));
    objects.contractModel.renew(lease,
        objects.contractModel.renewalDefaults(lease).value(u"new_end"_s).toString(),
        objects.contractModel.renewedRent(lease, u"percent"_s, 5), 0);
    objects.settingsManager.setLateFeePolicy(true, 10, u"percent"_s, 2);
    const QVariantMap samples {
        { u"payment"_s,
            Database::firstRow(database.execQuery(
                u"SELECT p.*, t.full_name as tenant_name, i.invoice_number FROM payments p "
                "JOIN invoices i ON p.invoice_id=i.id JOIN tenants t ON p.tenant_id=t.id "
                "ORDER BY p.id DESC LIMIT 1"_s)) },
        { u"rerunReport"_s, objects.invoiceModel.lastRunReport() },
        { u"openInvoice"_s,
            firstId(database, u"SELECT id FROM invoices WHERE status='pending' ORDER BY id"_s) },
        { u"paidInvoice"_s,
            firstId(database, u"SELECT id FROM invoices WHERE status='paid' ORDER BY id"_s) },
    };

    const QList<QSize> sizes = { QSize(1280, 800), QSize(1024, 700) };
    int saved = 0;
    for (const QSize &size : sizes) {
        if (objects.authCtrl.isLoggedIn())
            objects.authCtrl.logout();
        QQmlApplicationEngine engine;
        objects.expose(engine.rootContext());
        QObject::connect(&engine, &QQmlEngine::warnings, [](const QList<QQmlError> &errors) {
            for (const QQmlError &e : errors) {
                ++g_warnings;
                QTextStream(stderr) << "QML Error: " << e.toString() << "\n";
            }
        });
        engine.load(QUrl(u"qrc:/qml/main.qml"_s));
        if (engine.rootObjects().isEmpty())
            return 1;
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
        window->resize(size);
        window->show();
        Shooter s(
            window, out, QString::number(size.width()) + u"x"_s + QString::number(size.height()));

        s.shot(u"01-login"_s);
        QMetaObject::invokeMethod(window, "showSetup");
        s.shot(u"02-setup"_s);
        if (QObject *server = s.find(u"dataLocationChoice1"_s)) {
            QMetaObject::invokeMethod(server, "clicked");
            s.shot(u"03-setup-server"_s);
            QMetaObject::invokeMethod(s.find(u"dataLocationChoice0"_s), "clicked");
        }

        objects.authCtrl.login(u"admin"_s, u"qatmo"_s);
        QMetaObject::invokeMethod(window, "showShell");
        settle(400);
        QObject *shell = s.find(u"mainApp"_s);
        const QStringList pages = { u"dashboard"_s, u"properties"_s, u"tenants"_s, u"buyers"_s,
            u"accounting"_s, u"payments"_s, u"cheques"_s, u"invoices"_s, u"maintenance"_s,
            u"reports"_s, u"users"_s, u"settings"_s };
        auto select = [&](int index) {
            QMetaObject::invokeMethod(shell, "selectPage", Q_ARG(QVariant, index));
        };
        for (int i = 0; i < pages.size(); ++i) {
            select(i);
            s.shot(QString::asprintf("%02d-page-", i + 10) + pages.at(i));
        }

        select(0);
        if (QObject *flick = s.find(u"dashboardFlick"_s)) {
            flick->setProperty("contentY",
                qMax(0.0,
                    flick->property("contentHeight").toDouble()
                        - flick->property("height").toDouble()));
            s.shot(u"10-page-dashboard-bottom"_s);
            flick->setProperty("contentY", 0);
        }
        openDialog(s, s.find(u"changePasswordDialog"_s), {}, u"30-dialog-change-password"_s);
        closeDialog(s.find(u"changePasswordDialog"_s));

        select(1);
        openDialog(s, s.find(u"addPropertyDialog"_s), {}, u"31-dialog-add-property"_s);
        closeDialog(s.find(u"addPropertyDialog"_s));
        QObject *units = s.find(u"unitsDialog"_s);
        openDialog(s, units, { { u"propertyId"_s, property }, { u"propertyName"_s, propertyName } },
            u"32-dialog-units"_s);
        openDialog(s, s.find(u"addUnitDialog"_s), {}, u"33-dialog-add-unit"_s);
        closeDialog(s.find(u"addUnitDialog"_s));
        openForRow(s, u"addUnitDialog"_s, firstRow(units, "units"), u"33-dialog-edit-unit"_s);
        closeDialog(units);

        select(2);
        openDialog(s, s.find(u"addTenantDialog"_s), {}, u"34-dialog-add-tenant"_s);
        closeDialog(s.find(u"addTenantDialog"_s));
        QObject *contracts = s.find(u"contractsDialog"_s);
        openDialog(s, contracts, { { u"tenantId"_s, tenant }, { u"tenantName"_s, tenantName } },
            u"35-dialog-contracts"_s);
        openDialog(s, s.find(u"newContractDialog"_s), {}, u"36-dialog-new-contract"_s);
        closeDialog(s.find(u"newContractDialog"_s));
        openForRow(s, u"editContractDialog"_s, firstRow(contracts, "contracts"),
            u"36-dialog-edit-contract"_s);
        openForRow(s, u"contractHistoryDialog"_s, firstRow(contracts, "contracts"),
            u"36-dialog-contract-history"_s);
        if (QObject *renew = s.find(u"renewContractDialog"_s)) {
            QMetaObject::invokeMethod(renew, "openFor",
                Q_ARG(QVariant, firstRow(contracts, "contracts").toMap().value(u"id"_s)));
            s.shot(u"36-dialog-renew-contract"_s);
            closeDialog(renew);
        }
        closeDialog(contracts);
        openDialog(s, s.find(u"statementDialog"_s),
            { { u"tenantId"_s, tenant }, { u"tenantName"_s, tenantName } },
            u"37-dialog-statement"_s);
        closeDialog(s.find(u"statementDialog"_s));
        openDialog(s, s.find(u"importDialog"_s), { { u"targetTable"_s, u"tenants"_s } },
            u"38-dialog-import"_s);
        closeDialog(s.find(u"importDialog"_s));
        QObject *deposits = s.find(u"depositsDialog"_s);
        openDialog(s, deposits, { { u"tenantId"_s, tenant }, { u"tenantName"_s, tenantName } },
            u"38-dialog-deposits"_s);
        if (QObject *settlement = s.find(u"depositSettlementDialog"_s)) {
            QMetaObject::invokeMethod(settlement, "openFor", Q_ARG(QVariant, heldDeposit));
            settlement->setProperty("damages",
                QVariantList { QVariantMap {
                    { u"description"_s, u"إصلاح باب المطبخ"_s }, { u"amount"_s, 250.75 } } });
            s.shot(u"38-dialog-deposit-settlement"_s);
            closeDialog(settlement);
        }
        closeDialog(deposits);

        select(3);
        openDialog(s, s.find(u"addBuyerDialog"_s), {}, u"39-dialog-add-buyer"_s);
        closeDialog(s.find(u"addBuyerDialog"_s));
        openDialog(s, s.find(u"salesDialog"_s),
            { { u"buyerId"_s, buyer }, { u"buyerName"_s, buyerName } }, u"40-dialog-sale"_s);
        // The unit picker's list and a drop-down list, open.
        if (QObject *picker = s.find(u"saleUnitBox"_s)) {
            QMetaObject::invokeMethod(picker, "search", Q_ARG(QVariant, false));
            if (auto *popup = picker->property("popup").value<QObject *>())
                QMetaObject::invokeMethod(popup, "open");
            s.shot(u"40-dialog-sale-picker"_s);
            if (auto *popup = picker->property("popup").value<QObject *>())
                QMetaObject::invokeMethod(popup, "close");
        }
        if (QObject *box = s.find(u"saleCurrencyBoxBox"_s)) {
            if (auto *popup = box->property("popup").value<QObject *>())
                QMetaObject::invokeMethod(popup, "open");
            s.shot(u"40-dialog-sale-dropdown"_s);
            if (auto *popup = box->property("popup").value<QObject *>())
                QMetaObject::invokeMethod(popup, "close");
        }
        closeDialog(s.find(u"salesDialog"_s));
        QObject *installments = s.find(u"installmentsDialog"_s);
        openDialog(s, installments, { { u"buyerId"_s, buyer }, { u"buyerName"_s, buyerName } },
            u"41-dialog-installments"_s);
        openDialog(s, s.find(u"addInstallmentDialog"_s), {}, u"42-dialog-add-installment"_s);
        closeDialog(s.find(u"addInstallmentDialog"_s));
        openForRow(s, u"collectInstallmentDialog"_s, firstRow(installments, "installments"),
            u"42-dialog-collect-installment"_s);
        closeDialog(installments);
        openDialog(s, s.find(u"buyerChequeDialog"_s),
            { { u"buyerId"_s, buyer }, { u"buyerName"_s, buyerName } }, u"43-dialog-cheque"_s);
        closeDialog(s.find(u"buyerChequeDialog"_s));
        openDialog(s, s.find(u"buyerStatementDialog"_s),
            { { u"buyerId"_s, buyer }, { u"buyerName"_s, buyerName } },
            u"44-dialog-buyer-statement"_s);
        closeDialog(s.find(u"buyerStatementDialog"_s));

        shootLaterPages(s, shell, samples);

        saved += s.saved;
    }
    QTextStream(stdout) << "Saved " << saved << " screenshots to " << out
                        << "; QML warnings: " << g_warnings << "\n";
    return g_warnings == 0 ? 0 : 3;
}
