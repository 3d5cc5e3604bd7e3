#include "NetworkStatus.h"

#include "NetworkLogging.h"

#ifdef Q_OS_LINUX
#include "NetlinkPathMonitor.h"
#endif

namespace {

std::unique_ptr<PathMonitor> createSystemMonitor()
{
#ifdef Q_OS_LINUX
    return std::make_unique<NetlinkPathMonitor>();
#else
    return nullptr;
#endif
}

} // namespace

NetworkStatus::NetworkStatus(QObject* parent)
    : NetworkStatus(createSystemMonitor(), parent)
{}

NetworkStatus::NetworkStatus(std::unique_ptr<PathMonitor> monitor, QObject* parent)
    : QObject(parent)
    , m_monitor(std::move(monitor))
{
    if (!m_monitor) {
        qCWarning(lcNetwork) << "No network path monitor on this platform;"
                             << "the connection is taken to be present";
        return;
    }
    // The handler runs on the monitor's thread. Posting with this object as
    // context is safe there: the monitor, and with it every handler call, is
    // gone before the QObject part of this object is destroyed.
    const bool started = m_monitor->start(queueLabel, [this](const PathMonitor::Path& path) {
        const bool satisfied = path.status == PathMonitor::Path::Status::Satisfied;
        QMetaObject::invokeMethod(
            this, [this, satisfied] { setMissingConnection(!satisfied); }, Qt::QueuedConnection);
    });
    if (!started) {
        qCWarning(lcNetwork).nospace().noquote() << "Network path monitoring is unavailable ("
                                                 << QString::fromStdString(m_monitor->errorString())
                                                 << "); the connection is taken to be present";
        m_monitor.reset();
    }
}

NetworkStatus::~NetworkStatus()
{
    // Stop the monitor's thread while this object can still take its posts;
    // whatever is still queued is dropped with the QObject.
    m_monitor.reset();
}

void NetworkStatus::setMissingConnection(bool missingConnection)
{
    m_missingConnection = missingConnection;
    emit missingConnectionChanged(m_missingConnection);
}
