#include "cliapp.h"
#include "database.h"

#include <QGuiApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QtMessageHandler qtHandler = nullptr;

// Under cron XDG_RUNTIME_DIR is unset, and Qt's notice about it would be the only output of
// every quiet run; everything else Qt says still goes through.
void withoutRuntimeDirNotice(
    QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: "_s)
        && message.contains(u"runtime"_s, Qt::CaseInsensitive))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    Database::configureLibrary();
    qtHandler = qInstallMessageHandler(withoutRuntimeDirNotice);
    // Nothing is shown; PDFs still need fonts, which a GUI application brings. Runs from cron
    // and over ssh, where there is no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(u"Belvardino"_s);
    QGuiApplication::setApplicationName(u"Belvardino"_s);
    QGuiApplication::setApplicationVersion(QStringLiteral(BELVARDINO_VERSION));

    CliApp cli;
    return cli.run(QCoreApplication::arguments().mid(1));
}
