#include "cliapp.h"

#include <QGuiApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
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
