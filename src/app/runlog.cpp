#include "runlog.h"

#include <QFile>
#include <QQmlError>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace RunLog {

QFile &file()
{
    static QFile log;
    return log;
}

void write(const QString &line)
{
    QTextStream out(&file());
    out << line << '\n';
}

void logQmlErrors(const QList<QQmlError> &errors)
{
    for (const QQmlError &error : errors)
        write(u"QML Error: "_s + error.toString());
    file().flush();
}

} // namespace RunLog
