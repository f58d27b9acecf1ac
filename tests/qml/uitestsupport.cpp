#include "uitestsupport.h"

#include "appobjects.h"
#include "database.h"
#include "demodata.h"
#include "passwordhasher.h"
#include "seeddata.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQmlContext>

using namespace Qt::StringLiterals;

UiTestSupport::UiTestSupport() = default;

UiTestSupport::~UiTestSupport() { QDesktopServices::unsetUrlHandler(u"file"_s); }

void UiTestSupport::isolateHome(const QString &home)
{
    qputenv("HOME", home.toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DOCUMENTS_DIR");
    qunsetenv("XDG_DESKTOP_DIR");
}

bool UiTestSupport::start()
{
    if (!m_dir.isValid())
        return false;
    m_db = std::make_unique<Database>();
    if (!m_db->initialize(dataDir() + u"/belvardino.db"_s))
        return false;
    m_objects = std::make_unique<AppObjects>(m_db.get(), dataDir());
    DemoData::fill(m_db.get());
    // Nothing is launched: the produced PDF is only recorded.
    QDesktopServices::setUrlHandler(u"file"_s, this, "openUrl");
    return true;
}

void UiTestSupport::expose(QQmlContext *context)
{
    m_objects->expose(context);
    context->setContextProperty(u"uiTest"_s, this);
}

void UiTestSupport::restrictWrites(bool on)
{
    if (on)
        m_objects->authCtrl.session()->attach();
    else
        m_objects->authCtrl.session()->detach();
}

bool UiTestSupport::restoreSeededPassword()
{
    return m_db->execNonQuery(u"UPDATE users SET password_hash=? WHERE username='admin'"_s,
        { PasswordHasher::hash(SeedData::adminPassword()) });
}

QString UiTestSupport::dataDir() const { return m_dir.path(); }

bool UiTestSupport::fileExists(const QString &path) const
{
    QFileInfo info(path.startsWith(u"file:"_s) ? QUrl(path).toLocalFile() : path);
    return info.isFile() && info.size() > 0;
}

int UiTestSupport::runLogErrorCount() const
{
    QFile log(dataDir() + u"/app.log"_s);
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    int errors = 0;
    while (!log.atEnd()) {
        if (QString::fromUtf8(log.readLine()).startsWith(u"QML Error:"_s))
            ++errors;
    }
    return errors;
}

void UiTestSupport::openUrl(const QUrl &url) { m_opened << url; }
