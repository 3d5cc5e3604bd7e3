#pragma once

#include "MediaPlayer.h"

#include <QUrl>

#include <memory>

// The media player that the factory hands out at once: the backend's player,
// whose core takes some 200 ms to load and start, is made off the main thread
// and attached when it is ready. What it was told before then (volume, play)
// is passed on at that moment.
class AsyncMediaPlayer : public MediaPlayer {
    Q_OBJECT

public:
    explicit AsyncMediaPlayer(QUrl url, QObject* parent = nullptr);
    ~AsyncMediaPlayer() override;

    void play() override;
    float rate() const override { return m_rate; }
    bool hasDecodedAudio() const override { return m_backend && m_backend->hasDecodedAudio(); }
    float volume() const override { return m_volume; }
    void setVolume(float volume) override;

    const QUrl& url() const { return m_url; }
    // Takes the backend's player over; nullptr when none could be made, which
    // ends playback as a failed stream does.
    void attach(std::unique_ptr<MediaPlayer> backend);
    bool isAttached() const { return bool(m_backend) || m_failed; }

private:
    void onBackendRateChanged(float rate);
    void end();

    const QUrl m_url;
    std::unique_ptr<MediaPlayer> m_backend;
    float m_rate = 0.0f;
    float m_volume = 1.0f;
    bool m_playRequested = false;
    bool m_failed = false;
};
