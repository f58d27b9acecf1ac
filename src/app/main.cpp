#include "appobjects.h"
#include "database.h"
#include "datadirlock.h"
#include "runlog.h"
#include "scenechoice.h"
#include "serversettings.h"
#include "signalwatcher.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QStandardPaths>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    Database::configureLibrary();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Belvardino"_s);
    QApplication::setApplicationName(u"Belvardino"_s);
    QApplication::setApplicationVersion(u"1.0.0"_s);
    QApplication::setWindowIcon(QIcon(u":/assets/logo.ico"_s));
    QQuickStyle::setStyle(u"Basic"_s);
    SceneChoice::apply();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    // Qt's own dialogs (choosing a backup file or folder) speak Arabic like the rest.
    QTranslator qtArabic;
    if (qtArabic.load(QLocale(QLocale::Arabic), u"qtbase"_s, u"_"_s,
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtArabic);

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);

    // A second copy on the same data would overwrite the first one's work; it stops before it
    // opens the database. A folder where no lock can be made fails below, as before.
    DataDirLock lock(dataDir);
    // Headless runs (tests, scripts) have nobody to press a button.
    const bool windowed = QGuiApplication::platformName() != u"offscreen"_s
        && QGuiApplication::platformName() != u"minimal"_s;
    if (!lock.tryLock() && lock.heldElsewhere()) {
        const QString message = u"البرنامج مفتوح بالفعل على هذا الجهاز. استخدم النافذة المفتوحة "
                                u"أو أغلقها ثم افتح البرنامج من جديد."_s;
        qCritical("Belvardino is already running on this data (process %lld)", lock.holderPid());
        if (windowed)
            QMessageBox::warning(nullptr, u"بلفاردينو"_s, message);
        return 3;
    }

    // The data lives in this computer's file unless a shared server was chosen in the settings;
    // --database postgresql://... (its password in it) opens a server for this run only.
    QCommandLineParser arguments;
    const QCommandLineOption serverOption(u"database"_s, u"server URL"_s, u"url"_s);
    arguments.addOption(serverOption);
    arguments.parse(QApplication::arguments());
    Database database;
    const ServerSettings where(dataDir, &database);
    QString note;
    QString target
        = arguments.isSet(serverOption) ? arguments.value(serverOption) : where.target(&note);
    while (!database.initialize(target)) {
        qCritical("Failed to initialize database!");
        if (!Database::isServerUrl(target))
            return -1;
        QString detail;
        const ServerSettings::Outcome outcome = ServerSettings::check(target, &detail);
        QString text = outcome == ServerSettings::Outcome::Connected
            ? u"اتصل البرنامج بالخادم لكن تعذر تجهيز بياناته: %1"_s.arg(detail)
            : ServerSettings::outcomeText(outcome, detail);
        if (!note.isEmpty())
            text += u"\n\n"_s + note;
        qCritical("%s", qUtf8Printable(text));
        if (!windowed)
            return -1;
        QMessageBox box(QMessageBox::Warning, u"بلفاردينو"_s, text);
        QPushButton *retry = box.addButton(u"إعادة المحاولة"_s, QMessageBox::AcceptRole);
        // The choice itself stays: the settings page changes it, from a logged-in administrator.
        QPushButton *local
            = box.addButton(u"العمل هذه المرة على بيانات هذا الجهاز"_s, QMessageBox::ActionRole);
        box.addButton(u"إغلاق"_s, QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == local)
            target = dataDir + u"/belvardino.db"_s;
        else if (box.clickedButton() != retry)
            return -1;
    }

    AppObjects objects(&database, dataDir, target);
    // From here on every write needs a logged-in user with the right role.
    objects.authCtrl.session()->attach();

    QQmlApplicationEngine engine;
    objects.expose(engine.rootContext());

    const QUrl url(u"qrc:/qml/main.qml"_s);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        []() { QCoreApplication::exit(-1); }, Qt::QueuedConnection);

    SignalWatcher signalWatcher;

    QFile &log = RunLog::file();
    log.setFileName(dataDir + u"/app.log"_s);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        RunLog::write(u"-------------------------------------------"_s);
        RunLog::write(u"App started at "_s + QDateTime::currentDateTime().toString(Qt::TextDate));
        QObject::connect(&engine, &QQmlEngine::warnings, &RunLog::logQmlErrors);
        engine.load(url);
        if (engine.rootObjects().isEmpty()) {
            RunLog::write(u"CRITICAL: Failed to load QML root objects!"_s);
            log.close();
            return -1;
        }
        RunLog::write(u"QML root loaded successfully"_s);
        log.flush();
    } else {
        engine.load(url);
        if (engine.rootObjects().isEmpty())
            return -1;
    }

    const int result = QApplication::exec();
    if (log.isOpen()) {
        RunLog::write(u"App exited with code: "_s + QString::number(result));
        log.close();
    }
    return result;
}
