#pragma once

#include "MediaPlayer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

// Steps a player's volume from one level to another in equal steps, one per
// interval, until it reaches the target. A tick that comes late (a busy main
// thread) takes the steps that fell due meanwhile, so the fade keeps to its
// duration. After invalidate() it never steps
// again. The player is held weakly: one released by its owner must fall
// silent at once rather than live on in a fade.
class FadeTimer : public QObject {
    Q_OBJECT

public:
    // Sets the volume to `from` and fades towards `to` over `duration`
    // seconds, a step every `interval` seconds. None when there is nothing to
    // fade.
    static std::unique_ptr<FadeTimer> start(MediaPlayer& player, float from, float to,
                                            float duration, float interval);

    FadeTimer(MediaPlayer& player, float from, float to, float duration, float interval,
              QObject* parent = nullptr);

    void invalidate();
    bool isValid() const { return m_valid; }

    // What each timeout does: queues one step. Tests stop timer() and call
    // this to step a fade tick by tick.
    void fire();
    QTimer& timer() { return m_timer; }

private:
    void step();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_stepsTaken = 0;
    QPointer<MediaPlayer> m_player;
    float m_from;
    float m_to;
    float m_step;
    bool m_valid = true;
};
