#pragma once

#include <QObject>
#include <QString>

class BackupManager : public QObject
{
    Q_OBJECT
public:
    explicit BackupManager(const QString &dataDir, QObject *parent = nullptr);

private:
    QString m_dataDir;
};
