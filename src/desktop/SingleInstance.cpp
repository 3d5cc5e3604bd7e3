#include "SingleInstance.h"

#include "DesktopLogging.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

namespace {
const QByteArray showRequest = "show\n";
// Sent back once the window was shown: a hung instance never sends it.
const QByteArray shownAnswer = "shown\n";
// Anything longer than a request is not one of ours.
constexpr qint64 maxRequestLength = 64;
constexpr int connectTimeoutMs = 250;
constexpr int writeTimeoutMs = 1000;
// A healthy instance answers at once; even at the end of the patience give it
// this long.
constexpr qint64 minimumAnswerWaitMs = 1000;
constexpr unsigned long retryIntervalMs = 25;
} // namespace

SingleInstance::SingleInstance(const QString& directory, const QString& name, QObject* parent)
    : QObject(parent)
    , m_lock(QDir(directory).filePath(name + QStringLiteral(".lock")))
    , m_socketPath(QDir(directory).filePath(name + QStringLiteral(".socket")))
{
    // Only a dead owner (or an unlocked file) makes a lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::Role SingleInstance::claim(std::chrono::milliseconds patience)
{
    const QDeadlineTimer deadline(patience);
    for (;;) {
        if (m_lock.tryLock(0))
            return Role::Primary;
        if (m_lock.error() != QLockFile::LockFailedError) {
            qCWarning(lcDesktop) << "Cannot create" << m_lock.fileName()
                                 << "- running without the one-instance guard";
            return Role::Unguarded;
        }
        // Held by a live process: it listens once it has the lock.
        const Answer answer = askToShow(deadline);
        if (answer == Answer::Shown)
            return Role::Secondary;
        if (answer == Answer::Silent || deadline.hasExpired()) {
            QString host, application;
            m_lock.getLockInfo(&m_otherProcessId, &host, &application);
            return Role::Unanswered;
        }
        QThread::msleep(retryIntervalMs);
    }
}

bool SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket file there is left from a crashed instance.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        qCWarning(lcDesktop) << "Cannot listen on" << m_socketPath
                             << "- a second start will not find this instance:"
                             << m_server->errorString();
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The server owns the socket until it is deleted here.
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine()) {
                if (socket->readLine(maxRequestLength) == showRequest) {
                    emit showRequested();
                    socket->write(shownAnswer);
                    // Out at once, even when this instance quits right after.
                    socket->flush();
                    socket->disconnectFromServer();
                    return;
                }
                socket->abort();
                socket->deleteLater();
            } else if (socket->bytesAvailable() > maxRequestLength) {
                socket->abort();
                socket->deleteLater();
            }
        });
    }
}

SingleInstance::Answer SingleInstance::askToShow(const QDeadlineTimer& deadline)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(connectTimeoutMs))
        return Answer::NoListener;
    // The kernel takes the connection and the request even from an instance
    // whose event loop is stuck: only its answer tells it is alive.
    socket.write(showRequest);
    if (!socket.waitForBytesWritten(writeTimeoutMs))
        return Answer::Silent;
    const QDeadlineTimer answerDeadline(std::max(deadline.remainingTime(), minimumAnswerWaitMs));
    while (!socket.canReadLine()) {
        if (answerDeadline.hasExpired() ||
            !socket.waitForReadyRead(int(std::max<qint64>(answerDeadline.remainingTime(), 1))))
            return Answer::Silent;
    }
    return socket.readLine(maxRequestLength) == shownAnswer ? Answer::Shown : Answer::Silent;
}
