#include "serversettings.h"

#include "database.h"
#include "session.h"

#include <QEventLoop>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <memory>
#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"Belvardino"_s;

// A secret store that does not answer within this is taken as absent.
constexpr int kSecretWait = 15000;

QString encoded(const QString &text) { return QString::fromUtf8(QUrl::toPercentEncoding(text)); }

// Runs a secret-store job to its end. Its error, or QKeychain::NoError.
QKeychain::Error runJob(QKeychain::Job &job, QString *errorText)
{
    job.setAutoDelete(false);
    // A plain file is never the fallback for a password.
    job.setInsecureFallback(false);
    QEventLoop loop;
    bool done = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kSecretWait, &loop, &QEventLoop::quit);
    job.start();
    if (!done)
        loop.exec();
    if (!done) {
        *errorText = u"no answer"_s;
        return QKeychain::OtherError;
    }
    *errorText = job.errorString();
    return job.error();
}

QString noStoreText(const QString &reason)
{
    return u"لا تتوفر على هذا الجهاز خزنة كلمات السر (خدمة الأسرار لسطح المكتب)، "
           u"ولا تُحفظ كلمة مرور الخادم في ملف عادي: %1"_s.arg(reason);
}

} // namespace

ServerSettings::ServerSettings(const QString &dataDir, Database *db, QObject *parent)
    : QObject(parent)
    , m_dataDir(dataDir)
    , m_db(db)
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    m_useServer = settings.value(u"data/location"_s).toString() == u"server"_s;
    m_host = settings.value(u"server/host"_s).toString();
    m_port = settings.value(u"server/port"_s, kDefaultPort).toInt();
    m_database = settings.value(u"server/database"_s).toString();
    m_user = settings.value(u"server/user"_s).toString();
}

ServerSettings::~ServerSettings()
{
    if (m_testing) {
        m_testing->wait();
        delete m_testing;
    }
}

bool ServerSettings::runningOnServer() const { return m_db && m_db->isServer(); }

QString ServerSettings::settingsPath() const { return m_dataDir + u"/settings.ini"_s; }

QString ServerSettings::secretKey(
    const QString &host, int port, const QString &database, const QString &user)
{
    return u"%1@%2:%3/%4"_s.arg(user, host).arg(port).arg(database);
}

QString ServerSettings::url(const QString &host, int port, const QString &database,
    const QString &user, const QString &password)
{
    QString login = encoded(user);
    if (!password.isEmpty())
        login += u':' + encoded(password);
    // A socket folder has slashes, which a host name may not.
    const bool folder = host.startsWith(u'/');
    // One pass: an encoded password is full of "%2F"-like runs that a later arg() would take
    // for its own place markers.
    QString text = u"postgresql://%1@%2:%3/%4"_s.arg(
        login, folder ? QString() : encoded(host), QString::number(port), encoded(database));
    if (folder)
        text += u"?host="_s + encoded(host);
    return text;
}

ServerSettings::Outcome ServerSettings::check(
    const QString &url, QString *detail, int minimumVersion)
{
    static std::atomic_int serial { 0 };
    const QString name = u"belvardino_check_%1"_s.arg(++serial);
    Outcome outcome = Outcome::Failed;
    QString said;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setConnectOptions(u"connect_timeout=5"_s);
        if (!Database::applyServerUrl(db, url)) {
            said = url;
        } else if (db.open()) {
            QSqlQuery query(db);
            const int version = query.exec(u"SHOW server_version_num"_s) && query.next()
                ? query.value(0).toInt()
                : 0;
            outcome = version >= minimumVersion ? Outcome::Connected : Outcome::TooOld;
            said = u"%1.%2"_s.arg(version / 10000).arg(version % 10000);
        } else {
            // Libpq's words before a login are not coded; these are its and the server's own.
            said = db.lastError().text();
            const QString text = said.toLower();
            if (text.contains(u"password authentication failed"_s)
                || text.contains(u"no password supplied"_s)
                || text.contains(u"authentication failed"_s)
                || (text.contains(u"role \""_s) && text.contains(u"does not exist"_s)))
                outcome = Outcome::WrongPassword;
            else if (text.contains(u"database \""_s) && text.contains(u"does not exist"_s))
                outcome = Outcome::DatabaseMissing;
            else if (text.contains(u"could not connect"_s) || text.contains(u"refused"_s)
                || text.contains(u"timeout"_s) || text.contains(u"could not translate host"_s)
                || text.contains(u"no such file or directory"_s) || text.contains(u"unreachable"_s)
                || text.contains(u"no route to host"_s))
                outcome = Outcome::Unreachable;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (detail)
        *detail = said.trimmed();
    return outcome;
}

QString ServerSettings::outcomeText(Outcome outcome, const QString &detail)
{
    switch (outcome) {
    case Outcome::Connected:
        return u"✅ تم الاتصال بالخادم"_s;
    case Outcome::Unreachable:
        return u"تعذر الوصول إلى الخادم: تأكد من العنوان والمنفذ، وأن الخادم يعمل ويقبل الاتصال "
               u"من هذا الجهاز"_s;
    case Outcome::WrongPassword:
        return u"رفض الخادم الدخول: اسم المستخدم أو كلمة المرور غير صحيحة"_s;
    case Outcome::DatabaseMissing:
        return u"قاعدة البيانات المذكورة غير موجودة على الخادم: أنشئها أولاً أو صحح اسمها"_s;
    case Outcome::TooOld:
        return u"إصدار الخادم (%1) أقدم من المطلوب: يلزم PostgreSQL %2 أو أحدث"_s.arg(detail).arg(
            kMinimumVersion / 10000);
    case Outcome::Failed:
        break;
    }
    return u"تعذر الاتصال بالخادم: %1"_s.arg(detail);
}

QString ServerSettings::target(QString *note) const
{
    if (!m_useServer)
        return m_dataDir + u"/belvardino.db"_s;
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(secretKey(m_host, m_port, m_database, m_user));
    QString reason;
    const QKeychain::Error error = runJob(job, &reason);
    // No entry: a server that needs no password (a trusted local socket).
    if (error != QKeychain::NoError && error != QKeychain::EntryNotFound && note)
        *note = noStoreText(reason);
    return url(m_host, m_port, m_database, m_user,
        error == QKeychain::NoError ? job.textData() : QString());
}

void ServerSettings::testConnection(const QString &host, int port, const QString &database,
    const QString &user, const QString &password)
{
    if (m_testing)
        return;
    if (host.trimmed().isEmpty() || database.trimmed().isEmpty() || user.trimmed().isEmpty()) {
        emit tested(false, u"أدخل عنوان الخادم واسم قاعدة البيانات واسم المستخدم"_s);
        return;
    }
    const QString address = url(host.trimmed(), port, database.trimmed(), user.trimmed(), password);
    auto result = std::make_shared<std::pair<Outcome, QString>>(Outcome::Failed, QString());
    m_testing
        = QThread::create([address, result] { result->first = check(address, &result->second); });
    connect(m_testing, &QThread::finished, this, [this, result] {
        m_testing->deleteLater();
        m_testing = nullptr;
        emit testingChanged();
        emit tested(
            result->first == Outcome::Connected, outcomeText(result->first, result->second));
    });
    m_testing->start();
    emit testingChanged();
}

bool ServerSettings::chooseServer(const QString &host, int port, const QString &database,
    const QString &user, const QString &password)
{
    if (!Session::permits(m_db, Permissions::Operation::DataLocation))
        return false;
    const QString cleanHost = host.trimmed();
    const QString cleanDatabase = database.trimmed();
    const QString cleanUser = user.trimmed();
    if (cleanHost.isEmpty() || cleanDatabase.isEmpty() || cleanUser.isEmpty()) {
        m_lastError = u"أدخل عنوان الخادم واسم قاعدة البيانات واسم المستخدم"_s;
        return false;
    }
    if (port < 1 || port > 65535) {
        m_lastError = u"رقم المنفذ بين 1 و65535 (المعتاد 5432)"_s;
        return false;
    }
    if (!password.isEmpty()) {
        QKeychain::WritePasswordJob job(kService);
        job.setKey(secretKey(cleanHost, port, cleanDatabase, cleanUser));
        job.setTextData(password);
        QString reason;
        if (runJob(job, &reason) != QKeychain::NoError) {
            m_lastError = noStoreText(reason);
            return false;
        }
    }
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(u"data/location"_s, u"server"_s);
    settings.setValue(u"server/host"_s, cleanHost);
    settings.setValue(u"server/port"_s, port);
    settings.setValue(u"server/database"_s, cleanDatabase);
    settings.setValue(u"server/user"_s, cleanUser);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        m_lastError = u"تعذر حفظ الإعدادات في مجلد البيانات"_s;
        return false;
    }
    m_useServer = true;
    m_host = cleanHost;
    m_port = port;
    m_database = cleanDatabase;
    m_user = cleanUser;
    m_lastError.clear();
    emit changed();
    return true;
}

bool ServerSettings::chooseFile()
{
    if (!Session::permits(m_db, Permissions::Operation::DataLocation))
        return false;
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(u"data/location"_s, u"file"_s);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        m_lastError = u"تعذر حفظ الإعدادات في مجلد البيانات"_s;
        return false;
    }
    m_useServer = false;
    m_lastError.clear();
    emit changed();
    return true;
}
