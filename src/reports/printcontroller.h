#pragma once

#include <QObject>

class SettingsManager;

class PrintController : public QObject
{
    Q_OBJECT
public:
    explicit PrintController(SettingsManager *settings, QObject *parent = nullptr);

private:
    SettingsManager *m_settings;
};
