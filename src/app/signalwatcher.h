#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal quit of the event loop, so a session logout or a test
// harness still gets the closing log line and a cleanly closed database.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

private:
    static void handleSignal(int signal);
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
