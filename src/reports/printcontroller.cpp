#include "printcontroller.h"

#include "settingsmanager.h"

using namespace Qt::StringLiterals;

PrintController::PrintController(SettingsManager *settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}
