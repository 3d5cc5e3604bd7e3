#pragma once

#include "MpvCoreReaper.h"
#include "playback/MediaPlayer.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>

struct mpv_event;

// A MediaPlayer on one libmpv core. The core runs its own threads; its events
// reach this object only through a queued call on the main thread.
class MpvMediaPlayer : public MediaPlayer {
    Q_OBJECT

public:
    // Takes over a core that is initialized and idle.
    MpvMediaPlayer(MpvCore core, const QByteArray& url, QObject* parent = nullptr);
    ~MpvMediaPlayer() override;

    void play() override;
    float rate() const override { return m_rate; }
    bool hasDecodedAudio() const override { return m_decodedAudio; }
    float volume() const override { return m_volume; }
    void setVolume(float volume) override;

    // Where the volume is applied: mpv's software volume, or the sound
    // server's stream volume on its scale.
    enum class StreamVolume { None, Cubic, Linear };

private:
    static void wakeUp(void* self);
    void drainEvents();
    // False once this object is gone or has stopped listening.
    bool handle(const mpv_event& event);
    void end();
    void applyVolume();
    void onAudioOutputChanged(const char* audioOutput);
    void moveLevelToStream();

    MpvCore m_core;
    QByteArray m_url;
    std::atomic<bool> m_drainPosted{false};
    float m_rate = 0.0f;
    float m_volume = 1.0f;
    StreamVolume m_streamVolume = StreamVolume::None;
    // The stream's volume alone holds the level; mpv's own is at 100.
    bool m_onStream = false;
    bool m_started = false;
    bool m_fileStarted = false;
    bool m_decodedAudio = false;
    QString m_streamTitle;
    // Playlist entries queued behind the one being opened, in play order.
    std::deque<std::int64_t> m_pendingEntries;
};
