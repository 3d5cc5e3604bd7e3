#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// A 1 ms timer on the main thread: the longest gap between two of its
// firings, less the interval, is the longest time nothing else could run
// (a window would freeze for as long).
class StallMeter {
public:
    StallMeter()
    {
        m_heartbeat.setTimerType(Qt::PreciseTimer);
        m_heartbeat.setInterval(1);
        QObject::connect(&m_heartbeat, &QTimer::timeout, [this] { beat(); });
    }

    void start()
    {
        m_sinceBeat.start();
        m_heartbeat.start();
    }
    bool isRunning() const { return m_heartbeat.isActive(); }
    // Stops measuring; the longest stall in milliseconds.
    double stop()
    {
        beat();
        m_heartbeat.stop();
        return std::max(0.0, double(m_longestGap) / 1e6 - 1.0);
    }

private:
    void beat()
    {
        m_longestGap = std::max(m_longestGap, m_sinceBeat.nsecsElapsed());
        m_sinceBeat.restart();
    }

    QTimer m_heartbeat;
    QElapsedTimer m_sinceBeat;
    qint64 m_longestGap = 0;
};
