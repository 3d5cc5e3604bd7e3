#include "SleepMonitor.h"

#include "DesktopLogging.h"

#include <QDBusConnectionInterface>

namespace {
const QString login1Service = QStringLiteral("org.freedesktop.login1");
} // namespace

SleepMonitor::SleepMonitor(QObject* parent)
    : SleepMonitor(QDBusConnection::systemBus(), parent)
{}

SleepMonitor::SleepMonitor(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
{
    if (!bus.isConnected()) {
        qCInfo(lcDesktop) << "No system bus: playback is not resumed after the system sleeps";
        return;
    }
    QDBusConnectionInterface* busInterface = bus.interface();
    if (!busInterface || !busInterface->isServiceRegistered(login1Service)) {
        qCInfo(lcDesktop) << "No logind on the system bus: playback is not resumed after the "
                             "system sleeps";
        return;
    }
    // Naming the service makes the bus deliver the signal from logind only,
    // not from any client that sends one of the same name.
    m_watching = QDBusConnection(bus).connect(
        login1Service, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(onPrepareForSleep(bool)));
    if (!m_watching)
        qCInfo(lcDesktop) << "Cannot watch logind's PrepareForSleep:" << bus.lastError().message();
}

void SleepMonitor::onPrepareForSleep(bool sleeping)
{
    emit prepareForSleep(sleeping);
}
