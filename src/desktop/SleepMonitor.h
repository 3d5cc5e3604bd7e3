#pragma once

#include <QDBusConnection>
#include <QObject>

// Tells when the system is about to sleep and when it has woken, from
// logind's PrepareForSleep signal on the system bus. Without a system bus or
// logind it says so once on the log and stays silent.
class SleepMonitor : public QObject {
    Q_OBJECT

public:
    // Watches the system bus.
    explicit SleepMonitor(QObject* parent = nullptr);
    // Watches the given bus (tests pass a private one).
    explicit SleepMonitor(const QDBusConnection& bus, QObject* parent = nullptr);

    bool isWatching() const { return m_watching; }

signals:
    // true before sleeping, false after waking.
    void prepareForSleep(bool sleeping);

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    bool m_watching = false;
};
