#pragma once

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

class AppObjects;
class Database;
class QQmlContext;

// What the interface tests share: a private home (so documents land in a temporary folder), the
// business objects on a fresh database with the demo portfolio, and a catcher for the URLs the
// application asks the desktop to open. Exposed to QML as `uiTest`.
class UiTestSupport : public QObject
{
    Q_OBJECT
public:
    UiTestSupport();
    ~UiTestSupport() override;

    // Before the application object exists: point HOME and the XDG folders at the temp dir.
    static void isolateHome(const QString &home);

    // After the application object exists.
    bool start();
    void expose(QQmlContext *context);

    QString dataDir() const;
    AppObjects *objects() const { return m_objects.get(); }

    Q_INVOKABLE bool fileExists(const QString &path) const;
    // As the application does at start-up: writes need a logged-in user with the right role.
    // Off (the default here) lets the other tests drive the objects directly.
    Q_INVOKABLE void restrictWrites(bool on);
    // Puts the seeded administrator password back, which is too short to be set as a new one.
    Q_INVOKABLE bool restoreSeededPassword();
    // "QML Error:" lines the run log (data dir + "/app.log") has received so far.
    Q_INVOKABLE int runLogErrorCount() const;
    Q_INVOKABLE int openedCount() const { return m_opened.size(); }
    Q_INVOKABLE QString lastOpened() const
    {
        return m_opened.isEmpty() ? QString() : m_opened.last().toString();
    }

public slots:
    void openUrl(const QUrl &url);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<AppObjects> m_objects;
    QList<QUrl> m_opened;
};
