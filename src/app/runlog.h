#pragma once

#include <QList>
#include <QString>

class QFile;
class QQmlError;

// The process-wide run log: one file object, opened by start-up, that also receives every
// warning and error the QML engine reports.
namespace RunLog {
QFile &file();
void write(const QString &line);
void logQmlErrors(const QList<QQmlError> &errors);
}
