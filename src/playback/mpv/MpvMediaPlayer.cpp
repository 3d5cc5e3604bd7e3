#include "MpvMediaPlayer.h"

#include <QPointer>

#include <mpv/client.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Tags the replies worth looking at.
constexpr std::uint64_t loadReply = 1;
constexpr std::uint64_t idleObserver = 2;
constexpr std::uint64_t metadataObserver = 3;
constexpr std::uint64_t audioOutputObserver = 4;

// The sound servers whose streams have a volume of their own (mpv's
// ao-volume), applied as the server mixes, so heard at once whatever is
// buffered. PulseAudio's scale is cubic in the gain, like mpv's own volume;
// mpv's PipeWire output hands its value over as a linear gain. Any other
// output's volume is the device's (ALSA's mixer) or none at all.
MpvMediaPlayer::StreamVolume streamVolumeOf(const char* audioOutput)
{
    if (!audioOutput)
        return MpvMediaPlayer::StreamVolume::None;
    if (std::strcmp(audioOutput, "pulse") == 0)
        return MpvMediaPlayer::StreamVolume::Cubic;
    if (std::strcmp(audioOutput, "pipewire") == 0)
        return MpvMediaPlayer::StreamVolume::Linear;
    return MpvMediaPlayer::StreamVolume::None;
}

QString nodeText(const mpv_node& node)
{
    return node.format == MPV_FORMAT_STRING ? QString::fromUtf8(node.u.string) : QString();
}

// What is on air: a Shoutcast/Icecast server's StreamTitle, else the title
// (and artist) tags of the stream itself, as an Ogg or HLS stream sends them.
QString titleOf(const mpv_node& metadata)
{
    if (metadata.format != MPV_FORMAT_NODE_MAP)
        return {};
    QString icyTitle, title, artist;
    const mpv_node_list& map = *metadata.u.list;
    for (int i = 0; i < map.num; ++i) {
        const QLatin1String key(map.keys[i]);
        if (key.compare(QLatin1String("icy-title"), Qt::CaseInsensitive) == 0)
            icyTitle = nodeText(map.values[i]);
        else if (key.compare(QLatin1String("title"), Qt::CaseInsensitive) == 0)
            title = nodeText(map.values[i]);
        else if (key.compare(QLatin1String("artist"), Qt::CaseInsensitive) == 0)
            artist = nodeText(map.values[i]);
    }
    if (!icyTitle.isEmpty())
        return icyTitle;
    if (!title.isEmpty() && !artist.isEmpty())
        return artist + QLatin1String(" - ") + title;
    return title;
}

} // namespace

MpvMediaPlayer::MpvMediaPlayer(MpvCore core, const QByteArray& url, QObject* parent)
    : MediaPlayer(parent)
    , m_core(std::move(core))
    , m_url(url)
{
    mpv_observe_property(m_core.get(), idleObserver, "idle-active", MPV_FORMAT_FLAG);
    mpv_observe_property(m_core.get(), metadataObserver, "metadata", MPV_FORMAT_NODE);
    mpv_observe_property(m_core.get(), audioOutputObserver, "current-ao", MPV_FORMAT_STRING);
    mpv_set_wakeup_callback(m_core.get(), &MpvMediaPlayer::wakeUp, this);
}

MpvMediaPlayer::~MpvMediaPlayer()
{
    // Silences the core and cuts its callback before any member goes.
    m_core.reset();
}

void MpvMediaPlayer::wakeUp(void* self)
{
    // Runs on one of mpv's threads: only post, and only once per burst.
    auto* player = static_cast<MpvMediaPlayer*>(self);
    if (!player->m_drainPosted.exchange(true))
        QMetaObject::invokeMethod(
            player, [player] { player->drainEvents(); }, Qt::QueuedConnection);
}

void MpvMediaPlayer::play()
{
    m_started = true;
    m_fileStarted = false;
    m_decodedAudio = false;
    m_pendingEntries.clear();
    const char* command[] = {"loadfile", m_url.constData(), "replace", nullptr};
    const int error = mpv_command_async(m_core.get(), loadReply, command);
    m_rate = 1.0f;
    emit rateChanged(m_rate);
    if (error < 0)
        end();
}

void MpvMediaPlayer::setVolume(float volume)
{
    // NaN counts as silence.
    m_volume = volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f;
    applyVolume();
}

void MpvMediaPlayer::applyVolume()
{
    const double gain = m_volume;
    if (m_streamVolume != StreamVolume::None) {
        double streamVolume =
            m_streamVolume == StreamVolume::Cubic ? 100.0 * std::cbrt(gain) : 100.0 * gain;
        mpv_set_property_async(m_core.get(), 0, "ao-volume", MPV_FORMAT_DOUBLE, &streamVolume);
    }
    if (m_onStream)
        return;
    // mpv's volume is cubic in the gain it applies; this makes the gain
    // linear. It works before the output's buffer, so with a large buffer it
    // is heard late: it carries the level only until the stream does.
    double mpvVolume = 100.0 * std::cbrt(gain);
    mpv_set_property_async(m_core.get(), 0, "volume", MPV_FORMAT_DOUBLE, &mpvVolume);
}

void MpvMediaPlayer::onAudioOutputChanged(const char* audioOutput)
{
    const StreamVolume kind = streamVolumeOf(audioOutput);
    if (kind == m_streamVolume)
        return;
    m_streamVolume = kind;
    m_onStream = false;
    applyVolume();
    if (m_decodedAudio)
        moveLevelToStream();
}

void MpvMediaPlayer::moveLevelToStream()
{
    if (m_streamVolume == StreamVolume::None || m_onStream)
        return;
    // Once more now that the stream runs: a session manager may give a new
    // stream a volume of its own as it joins the graph, after the one set
    // when the output opened. Until this, both volumes held the level, so
    // what is buffered is heard quieter for a moment, never louder.
    applyVolume();
    m_onStream = true;
    double unity = 100.0;
    mpv_set_property_async(m_core.get(), 0, "volume", MPV_FORMAT_DOUBLE, &unity);
}

void MpvMediaPlayer::drainEvents()
{
    m_drainPosted.store(false);
    for (;;) {
        const mpv_event* event = mpv_wait_event(m_core.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        if (!handle(*event))
            return;
    }
}

bool MpvMediaPlayer::handle(const mpv_event& event)
{
    if (!m_started || m_rate == 0.0f)
        return true;
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == loadReply && event.error < 0)
            break;
        return true;
    case MPV_EVENT_START_FILE: {
        m_fileStarted = true;
        const auto id = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        while (!m_pendingEntries.empty() && m_pendingEntries.front() <= id)
            m_pendingEntries.pop_front();
        return true;
    }
    case MPV_EVENT_END_FILE: {
        const auto& end = *static_cast<const mpv_event_end_file*>(event.data);
        if (end.reason == MPV_END_FILE_REASON_REDIRECT) {
            // A playlist was read: its entries replace it, in order.
            for (int i = end.playlist_insert_num_entries - 1; i >= 0; --i)
                m_pendingEntries.push_front(end.playlist_insert_id + i);
        } else if (end.reason != MPV_END_FILE_REASON_EOF &&
                   end.reason != MPV_END_FILE_REASON_ERROR) {
            return true;
        }
        if (!m_pendingEntries.empty())
            return true;
        break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        // Decoded audio is going out.
        m_decodedAudio = true;
        moveLevelToStream();
        return true;
    case MPV_EVENT_PROPERTY_CHANGE: {
        // The core idles only when its playlist is used up; a safety net for
        // an end that the events above did not show.
        const auto& property = *static_cast<const mpv_event_property*>(event.data);
        if (event.reply_userdata == audioOutputObserver) {
            // Opened or closed: a new stream starts at the server's level for
            // it, and what it plays is at the software level until then.
            onAudioOutputChanged(property.format == MPV_FORMAT_STRING
                                     ? *static_cast<const char* const*>(property.data)
                                     : nullptr);
            return true;
        }
        if (event.reply_userdata == metadataObserver) {
            const QString title = property.format == MPV_FORMAT_NODE
                                      ? titleOf(*static_cast<const mpv_node*>(property.data))
                                      : QString();
            if (title == m_streamTitle)
                return true;
            m_streamTitle = title;
            QPointer<MpvMediaPlayer> self(this);
            emit streamTitleChanged(title);
            return !self.isNull();
        }
        if (event.reply_userdata != idleObserver || property.format != MPV_FORMAT_FLAG ||
            !m_fileStarted || !*static_cast<const int*>(property.data))
            return true;
        break;
    }
    case MPV_EVENT_SHUTDOWN:
        break;
    default:
        return true;
    }
    QPointer<MpvMediaPlayer> self(this);
    end();
    return !self.isNull();
}

void MpvMediaPlayer::end()
{
    m_rate = 0.0f;
    emit rateChanged(m_rate);
}
