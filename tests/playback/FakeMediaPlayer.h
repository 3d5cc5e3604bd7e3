#pragma once

#include "playback/MediaPlayer.h"

#include <QList>
#include <QUrl>

#include <algorithm>

// A media player that plays nothing: it records what it is told and reports
// the rates a test feeds it. It clamps volumes to 0..1 as the mpv backend does.
class FakeMediaPlayer : public MediaPlayer {
    Q_OBJECT

public:
    explicit FakeMediaPlayer(const QUrl&, int* alive = nullptr)
        : m_alive(alive)
    {
        if (m_alive)
            ++*m_alive;
    }
    ~FakeMediaPlayer() override
    {
        if (m_alive)
            --*m_alive;
    }

    void play() override
    {
        ++playCalls;
        if (failOnPlay)
            reportRate(0.0f);
        else
            m_rate = 1.0f;
    }
    float rate() const override { return m_rate; }
    bool hasDecodedAudio() const override { return decodedAudio; }
    float volume() const override { return m_volume; }
    void setVolume(float volume) override
    {
        m_volume = volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f;
        volumes.append(m_volume);
    }

    void reportRate(float rate)
    {
        m_rate = rate;
        emit rateChanged(rate);
    }

    int playCalls = 0;
    bool failOnPlay = false;  // report the end from inside play()
    bool decodedAudio = true; // as a stream that played, unless a test says otherwise
    QList<float> volumes;     // every volume taken, in order

private:
    int* m_alive;
    float m_rate = 0.0f;
    float m_volume = 1.0f;
};
