#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QThread>
#include <QVariant>
#include <functional>
#include <memory>

class Database;

// Reads that add up a whole history (the dashboard's cards, the reports' totals) run here, on a
// second connection to the same data in a thread of their own, so that a page is drawn at once
// and fills its figures in when they arrive. Only reads belong here: the second connection has
// no session and sees what was committed when the read starts.
class BackgroundReader : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int pending READ pending NOTIFY pendingChanged)
public:
    using Factory = std::function<QObject *(Database *)>;

    // `target` is what the window's connection was opened on (a file path or a server URL).
    // Without one, calls run later on the window's own connection: still asynchronous, but
    // sharing the window's thread.
    BackgroundReader(const QString &target, Database *window, QObject *parent = nullptr);
    ~BackgroundReader() override;

    // Makes `name` callable: the factory builds that object once, on the second connection.
    void registerObject(const QString &name, const Factory &factory);

    // Queues name.method(arguments) and returns its ticket; finished(ticket, result) follows.
    // The same call still waiting in the queue is not queued twice: its ticket is returned.
    // An unknown object or method finishes with an invalid result.
    Q_INVOKABLE int call(
        const QString &object, const QString &method, const QVariantList &arguments = {});
    int pending() const { return m_pending; }
    // While `ready(ticket)` is being emitted: its result, or, for a list meant for a model, the
    // result handed straight to `target`'s setRows(QVariant). Every page's calls hear `ready`;
    // only the one that asked takes the result, so it is turned into script values once.
    Q_INVOKABLE QVariant result(int ticket) const;
    Q_INVOKABLE bool resultInto(int ticket, QObject *target) const;

    // Opens the second connection again, as after a restore replaced the file under it.
    void reopen();

signals:
    void finished(int ticket, const QVariant &result);
    void ready(int ticket);
    void pendingChanged();

private:
    // Worker side: runs in m_thread only.
    void open();
    void close();
    QVariant invoke(const QString &object, const QString &method, const QVariantList &arguments);

    QString m_target;
    QThread m_thread;
    // Lives in m_thread; queued functors run through it.
    QObject *m_context = nullptr;
    QHash<QString, Factory> m_factories;
    // Worker-owned: the connection and the objects built on it.
    std::unique_ptr<Database> m_database;
    Database *m_window = nullptr;
    Database *m_reading = nullptr;
    QHash<QString, QObject *> m_objects;
    bool m_opened = false;
    // Window side: calls queued and not yet started, by their key, and how many are unfinished.
    QHash<QString, int> m_waiting;
    int m_nextTicket = 1;
    int m_pending = 0;
    int m_delivering = 0;
    QVariant m_delivered;
};
