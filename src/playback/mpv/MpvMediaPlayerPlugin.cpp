#include "MpvMediaPlayerPlugin.h"

#include "MpvCoreReaper.h"
#include "MpvMediaPlayer.h"

#include <QUrl>
#include <QtGlobal>

#include <mpv/client.h>

namespace {

bool setOption(mpv_handle* core, const char* name, const QByteArray& value)
{
    const int error = mpv_set_option_string(core, name, value.constData());
    if (error < 0)
        qWarning("Sondik: mpv option %s=%s: %s", name, value.constData(), mpv_error_string(error));
    return error >= 0;
}

MpvCore createCore()
{
    MpvCore core(mpv_create());
    if (!core)
        return core;
    MpvCoreReaper::instance().adopt();

    // An embedded player: nothing of the user's mpv set-up, no scripts (the
    // built-in ones cost memory and threads), no terminal, no key bindings.
    static const char* const fixed[][2] = {
        {"config", "no"},
        {"load-scripts", "no"},
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"osc", "no"},
        {"ytdl", "no"},
        {"input-default-bindings", "no"},
        {"input-terminal", "no"},
        {"terminal", "no"},
        // Sound only.
        {"vid", "no"},
        {"vo", "null"},
        {"audio-display", "no"},
        {"sid", "no"},
        // A remote playlist may name only remote entries, never a local file.
        {"load-unsafe-playlists", "no"},
        {"audio-client-name", "Sondik"},
        {"user-agent", "Sondik/" SONDIK_VERSION},
        // Radio servers answer within a few seconds even when busy; a stream
        // that sends nothing for this long is dead, and playback has run dry
        // long before. It is also how long a dead server keeps the player
        // looking alive.
        {"network-timeout", "10"},
        // A live stream is never sought in: keep a forward buffer against
        // network hiccups and a small back buffer, and never the played part
        // (the seekable cache grows by the stream's bit rate, hours long).
        {"cache", "yes"},
        {"cache-secs", "10"},
        {"demuxer-seekable-cache", "no"},
        {"demuxer-max-bytes", "2MiB"},
        {"demuxer-max-back-bytes", "128KiB"},
        {"demuxer-donate-buffer", "no"},
        // Certificates are checked against the system's trust store.
        {"tls-verify", "yes"},
        // A second of sound handed to the sound server at a time instead of
        // a fifth: the output, the decoder and the server's client thread
        // wake a few times a second rather than dozens (PulseAudio: less
        // than half the CPU). The volume goes to the server's stream, so it
        // is still heard at once; a stop flushes the buffer.
        {"pulse-buffer", "1000"},
        // The same for mpv's own PipeWire output, which it prefers where
        // PipeWire runs: some 0.6x the CPU.
        {"pipewire-buffer", "1000"},
    };
    for (const auto& option : fixed) {
        if (!setOption(core.get(), option[0], option[1]))
            return {};
    }

    // Developer and test overrides: the audio output (mpv's "ao", such as
    // null or pcm), the file that the pcm output writes, the trust store.
    const QByteArray audioOutput = qgetenv("SONDIK_AUDIO_OUTPUT");
    if (!audioOutput.isEmpty() && !setOption(core.get(), "ao", audioOutput))
        return {};
    // What the pcm output writes is read by tests, in one format.
    if (audioOutput == "pcm" && !(setOption(core.get(), "audio-format", "s16") &&
                                  setOption(core.get(), "audio-channels", "stereo") &&
                                  setOption(core.get(), "audio-samplerate", "44100")))
        return {};
    const QByteArray audioFile = qgetenv("SONDIK_AUDIO_FILE");
    if (!audioFile.isEmpty() && !setOption(core.get(), "ao-pcm-file", audioFile))
        return {};
    const QByteArray caFile = qgetenv("SONDIK_TLS_CA_FILE");
    if (!caFile.isEmpty() && !setOption(core.get(), "tls-ca-file", caFile))
        return {};

    const int error = mpv_initialize(core.get());
    if (error < 0) {
        qWarning("Sondik: mpv does not start: %s", mpv_error_string(error));
        return {};
    }
    return core;
}

} // namespace

MpvMediaPlayerPlugin::MpvMediaPlayerPlugin(QObject* parent)
    : QObject(parent)
{}

std::unique_ptr<MediaPlayer> MpvMediaPlayerPlugin::createMediaPlayer(const QUrl& url)
{
    if (auto player = createPreparedMediaPlayer(url))
        return player;
    MpvCore core = createCore();
    if (!core)
        return nullptr;
    return std::make_unique<MpvMediaPlayer>(std::move(core), url.toEncoded());
}

void MpvMediaPlayerPlugin::prepareMediaPlayer()
{
    {
        const std::lock_guard lock(m_preparedMutex);
        if (m_prepared)
            return;
    }
    MpvCore core = createCore();
    const std::lock_guard lock(m_preparedMutex);
    if (!m_prepared)
        m_prepared = std::move(core);
}

std::unique_ptr<MediaPlayer> MpvMediaPlayerPlugin::createPreparedMediaPlayer(const QUrl& url)
{
    MpvCore core = takePrepared();
    if (!core)
        return nullptr;
    return std::make_unique<MpvMediaPlayer>(std::move(core), url.toEncoded());
}

void MpvMediaPlayerPlugin::releasePreparedMediaPlayer()
{
    takePrepared(); // goes down through the reaper, outside the lock
}

MpvCore MpvMediaPlayerPlugin::takePrepared()
{
    const std::lock_guard lock(m_preparedMutex);
    return std::move(m_prepared);
}

int MpvMediaPlayerPlugin::liveCoreCount() const
{
    return MpvCoreReaper::instance().liveCount();
}

const QMetaObject* MpvMediaPlayerPlugin::mediaPlayerMetaObject() const
{
    return &MediaPlayer::staticMetaObject;
}
