#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

// A repeating timer that can be invalidated: after invalidate() it never
// fires again and has released its callback (and whatever that captured).
// Held by shared_ptr; the callback gets the timer itself.
class FadeTimer : public QObject, public std::enable_shared_from_this<FadeTimer> {
    Q_OBJECT

public:
    FadeTimer(std::chrono::milliseconds interval, std::function<void(FadeTimer&)> onFire,
              QObject* parent = nullptr);

    void invalidate();
    bool isValid() const { return bool(m_onFire); }

    // What each timeout does. Tests stop timer() and call this to step a
    // fade tick by tick.
    void fire();
    QTimer& timer() { return m_timer; }

private:
    QTimer m_timer;
    std::function<void(FadeTimer&)> m_onFire;
};
