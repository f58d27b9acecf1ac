#include "scenechoice.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>

using namespace Qt::StringLiterals;

void SceneChoice::apply()
{
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        return;
    // Only a real display draws through OpenGL; headless runs never do. Asking OpenGL itself
    // which renderer it has would load the software rasteriser just to learn its name.
    const QString platform = QGuiApplication::platformName();
    if (platform != u"xcb"_s && platform != u"wayland"_s)
        return;
    if (!hasRenderNode(u"/dev/dri"_s))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

bool SceneChoice::hasRenderNode(const QString &devices)
{
    return !QDir(devices).entryList({ u"renderD*"_s }, QDir::System | QDir::Files).isEmpty();
}
