#include "FadeTimer.h"

FadeTimer::FadeTimer(std::chrono::milliseconds interval, std::function<void(FadeTimer&)> onFire,
                     QObject* parent)
    : QObject(parent)
    , m_onFire(std::move(onFire))
{
    // A coarse timer may drift by 5 %, which would stretch an 8-second fade.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &FadeTimer::fire);
    m_timer.start();
}

void FadeTimer::invalidate()
{
    m_timer.stop();
    m_onFire = nullptr;
}

void FadeTimer::fire()
{
    if (m_onFire) {
        auto keep = m_onFire; // the callback may invalidate this timer
        keep(*this);
    }
}
