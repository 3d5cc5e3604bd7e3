#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QDeadlineTimer;
class QLocalServer;

// Keeps one Sondik per user. The first instance holds a lock file and listens
// on a local socket beside it; a later start finds the lock taken, asks the
// running instance to show its window and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        // This is the one instance; later starts reach it.
        Primary,
        // Another instance runs and was asked to show its window.
        Secondary,
        // Another instance holds the lock but does not answer (hung, or
        // still not listening when the patience ran out).
        Unanswered,
        // No lock could be made (unwritable folder): runs unguarded.
        Unguarded,
    };

    // directory: the user's runtime folder; name: the base of the lock and
    // socket file names.
    SingleInstance(const QString& directory, const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Blocks for at most `patience` (and a moment for the answer) while
    // another instance starts up or answers.
    // Needs no application object, so a second start ends before it
    // connects to the display.
    Role claim(std::chrono::milliseconds patience = std::chrono::milliseconds(5000));
    // For the Primary, once the application object exists: take requests.
    bool listen();

    QString socketPath() const { return m_socketPath; }
    QString lockPath() const { return m_lock.fileName(); }
    // The process that holds the lock, where claim() found one.
    qint64 otherProcessId() const { return m_otherProcessId; }

    // The user's runtime folder ($XDG_RUNTIME_DIR).
    static QString defaultDirectory();

signals:
    // A later start asked for the window.
    void showRequested();

private:
    enum class Answer { Shown, NoListener, Silent };

    void acceptConnections();
    Answer askToShow(const QDeadlineTimer& deadline);

    QLockFile m_lock;
    QString m_socketPath;
    std::unique_ptr<QLocalServer> m_server;
    qint64 m_otherProcessId = 0;
};
