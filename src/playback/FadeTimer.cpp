#include "FadeTimer.h"

#include <QtMath>

#include <algorithm>
#include <chrono>

std::unique_ptr<FadeTimer> FadeTimer::start(MediaPlayer& player, float from, float to,
                                            float duration, float interval)
{
    player.setVolume(from);
    if (from == to)
        return nullptr;
    return std::make_unique<FadeTimer>(player, from, to, duration, interval);
}

FadeTimer::FadeTimer(MediaPlayer& player, float from, float to, float duration, float interval,
                     QObject* parent)
    : QObject(parent)
    , m_player(&player)
    , m_from(from)
    , m_to(to)
    , m_step((to - from) * interval / duration)
{
    // A coarse timer may drift by 5 %, which would stretch an 8-second fade.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(std::chrono::milliseconds(qRound(double(interval) * 1000.0)));
    connect(&m_timer, &QTimer::timeout, this, &FadeTimer::fire);
    m_timer.start();
    m_clock.start();
}

void FadeTimer::invalidate()
{
    m_timer.stop();
    m_valid = false;
}

void FadeTimer::fire()
{
    if (!m_valid)
        return;
    // Each step runs as its own event, after whatever else is queued; one
    // still queued when this timer goes is dropped with it.
    QMetaObject::invokeMethod(this, &FadeTimer::step, Qt::QueuedConnection);
}

void FadeTimer::step()
{
    if (!m_valid)
        return;
    if (!m_player) {
        invalidate();
        return;
    }
    // The player is called last: whatever it sets off may end this timer.
    MediaPlayer& player = *m_player;
    const float v = player.volume();
    if (!(v >= 0.0f && v <= 1.0f)) {
        invalidate();
        player.setVolume(m_to);
    } else if ((m_to > m_from && v >= m_to) || (m_to <= m_from && v <= m_to)) {
        invalidate();
    } else {
        const qint64 due = m_clock.elapsed() / std::max(1, m_timer.interval());
        const qint64 steps = std::max<qint64>(1, due - m_stepsTaken);
        m_stepsTaken += steps;
        float next = v + float(steps) * m_step;
        // Catching up ends on the target, not past it.
        if (steps > 1 && (m_to > m_from ? next > m_to : next < m_to))
            next = m_to;
        player.setVolume(next);
    }
}
