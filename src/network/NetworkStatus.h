#pragma once

#include "PathMonitor.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <memory>

// Publishes whether the machine lacks a usable network path. The monitor
// reports on its own thread; each report is handed to this object's thread and
// written there, in the order of the reports, notifying on every write.
class NetworkStatus : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one NetworkStatus")
    Q_PROPERTY(bool missingConnection READ missingConnection NOTIFY missingConnectionChanged)

public:
    // Label of the monitor's delivery queue (its thread's name).
    static constexpr const char* queueLabel = "Monitor";

    // Watches the system's network path (netlink on Linux).
    explicit NetworkStatus(QObject* parent = nullptr);
    // Watches through the given monitor. Without one, or when it cannot start,
    // the connection counts as present and the flag never changes.
    explicit NetworkStatus(std::unique_ptr<PathMonitor> monitor, QObject* parent = nullptr);
    ~NetworkStatus() override;

    bool missingConnection() const { return m_missingConnection; }

signals:
    void missingConnectionChanged(bool missingConnection);

private:
    void setMissingConnection(bool missingConnection);

    std::unique_ptr<PathMonitor> m_monitor;
    bool m_missingConnection = false;
};
