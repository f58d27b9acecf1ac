#include "runlog.h"
#include "uitestsupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QTemporaryDir>
#include <QtQuickTest>

using namespace Qt::StringLiterals;

class Setup : public QObject
{
    Q_OBJECT
public:
    Setup()
    {
        // Before the application exists, so every standard location falls inside the temp dir.
        UiTestSupport::isolateHome(m_home.path());
    }

public slots:
    void applicationAvailable()
    {
        QGuiApplication::setOrganizationName(u"Belvardino"_s);
        QGuiApplication::setApplicationName(u"Belvardino"_s);
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        QQuickStyle::setStyle(u"Basic"_s);
        if (!m_support.start())
            qFatal("could not create the test database");
        // The same run log and handler as the application: the last test reads it back.
        RunLog::file().setFileName(m_support.dataDir() + u"/app.log"_s);
        RunLog::file().open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    }

    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_support.expose(engine->rootContext());
        connect(engine, &QQmlEngine::warnings, &RunLog::logQmlErrors);
    }

    void cleanupTestCase() { RunLog::file().close(); }

private:
    QTemporaryDir m_home;
    UiTestSupport m_support;
};

QUICK_TEST_MAIN_WITH_SETUP(belvardino_ui, Setup)

#include "tst_ui.moc"
