#include "accountmodel.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "backupmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "dashboardcontroller.h"
#include "database.h"
#include "expensemodel.h"
#include "importcontroller.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "notificationcontroller.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "reportcontroller.h"
#include "settingsmanager.h"
#include "signalwatcher.h"
#include "tenantmodel.h"
#include "unitmodel.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQmlError>
#include <QQuickStyle>
#include <QStandardPaths>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

QFile &runLog()
{
    static QFile file;
    return file;
}

void writeLog(const QString &line)
{
    QTextStream out(&runLog());
    out << line << '\n';
}

void logQmlErrors(const QList<QQmlError> &errors)
{
    for (const QQmlError &error : errors)
        writeLog(u"QML Error: "_s + error.toString());
    runLog().flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Belvardino"_s);
    QApplication::setApplicationName(u"Belvardino"_s);
    QApplication::setApplicationVersion(u"1.0.0"_s);
    QApplication::setWindowIcon(QIcon(u":/assets/logo.ico"_s));
    QQuickStyle::setStyle(u"Basic"_s);
    QApplication::setLayoutDirection(Qt::RightToLeft);

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);

    Database database;
    if (!database.initialize(dataDir + u"/belvardino.db"_s)) {
        qCritical("Failed to initialize database!");
        return -1;
    }

    BackupManager backupManager(dataDir);
    SettingsManager settingsManager(&database);
    PropertyModel propertyModel(&database);
    UnitModel unitModel(&database);
    TenantModel tenantModel(&database);
    ContractModel contractModel(&database);
    InvoiceModel invoiceModel(&database);
    PaymentModel paymentModel(&database);
    MaintenanceModel maintenanceModel(&database);
    ExpenseModel expenseModel(&database);
    AccountModel accountModel(&database);
    ChequeModel chequeModel(&database);
    BuyerModel buyerModel(&database);
    InstallmentModel installmentModel(&database);
    CurrencyModel currencyModel(&database);
    DashboardController dashboardCtrl(&database);
    ReportController reportCtrl(&database);
    AuthController authCtrl(&database);
    PrintController printCtrl(&settingsManager);
    NotificationController notifyCtrl(&database);
    ImportController importCtrl(&database);
    AuditManager auditMgr(&database);

    QQmlApplicationEngine engine;
    QQmlContext *context = engine.rootContext();
    context->setContextProperty(u"database"_s, &database);
    context->setContextProperty(u"backupManager"_s, &backupManager);
    context->setContextProperty(u"settingsManager"_s, &settingsManager);
    context->setContextProperty(u"propertyModel"_s, &propertyModel);
    context->setContextProperty(u"unitModel"_s, &unitModel);
    context->setContextProperty(u"tenantModel"_s, &tenantModel);
    context->setContextProperty(u"contractModel"_s, &contractModel);
    context->setContextProperty(u"invoiceModel"_s, &invoiceModel);
    context->setContextProperty(u"paymentModel"_s, &paymentModel);
    context->setContextProperty(u"maintenanceModel"_s, &maintenanceModel);
    context->setContextProperty(u"expenseModel"_s, &expenseModel);
    context->setContextProperty(u"accountModel"_s, &accountModel);
    context->setContextProperty(u"chequeModel"_s, &chequeModel);
    context->setContextProperty(u"buyerModel"_s, &buyerModel);
    context->setContextProperty(u"installmentModel"_s, &installmentModel);
    context->setContextProperty(u"currencyModel"_s, &currencyModel);
    context->setContextProperty(u"dashboardCtrl"_s, &dashboardCtrl);
    context->setContextProperty(u"reportCtrl"_s, &reportCtrl);
    context->setContextProperty(u"authCtrl"_s, &authCtrl);
    context->setContextProperty(u"printCtrl"_s, &printCtrl);
    context->setContextProperty(u"notifyCtrl"_s, &notifyCtrl);
    context->setContextProperty(u"importCtrl"_s, &importCtrl);
    context->setContextProperty(u"auditMgr"_s, &auditMgr);

    const QUrl url(u"qrc:/qml/main.qml"_s);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        []() { QCoreApplication::exit(-1); }, Qt::QueuedConnection);

    SignalWatcher signalWatcher;

    QFile &log = runLog();
    log.setFileName(dataDir + u"/app.log"_s);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        writeLog(u"-------------------------------------------"_s);
        writeLog(u"App started at "_s + QDateTime::currentDateTime().toString(Qt::TextDate));
        QObject::connect(&engine, &QQmlEngine::warnings, &logQmlErrors);
        engine.load(url);
        if (engine.rootObjects().isEmpty()) {
            writeLog(u"CRITICAL: Failed to load QML root objects!"_s);
            log.close();
            return -1;
        }
        writeLog(u"QML root loaded successfully"_s);
        log.flush();
    } else {
        engine.load(url);
        if (engine.rootObjects().isEmpty())
            return -1;
    }

    const int result = QApplication::exec();
    if (log.isOpen()) {
        writeLog(u"App exited with code: "_s + QString::number(result));
        log.close();
    }
    return result;
}
