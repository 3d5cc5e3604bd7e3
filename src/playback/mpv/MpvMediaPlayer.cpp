#include "MpvMediaPlayer.h"

#include <QPointer>

#include <mpv/client.h>

#include <algorithm>
#include <cmath>

namespace {

// Tags the replies worth looking at.
constexpr std::uint64_t loadReply = 1;
constexpr std::uint64_t idleObserver = 2;
constexpr std::uint64_t metadataObserver = 3;

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
    // mpv's volume is cubic in the gain it applies; this makes the gain linear.
    double mpvVolume = 100.0 * std::cbrt(double(m_volume));
    mpv_set_property_async(m_core.get(), 0, "volume", MPV_FORMAT_DOUBLE, &mpvVolume);
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
        return true;
    case MPV_EVENT_PROPERTY_CHANGE: {
        // The core idles only when its playlist is used up; a safety net for
        // an end that the events above did not show.
        const auto& property = *static_cast<const mpv_event_property*>(event.data);
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
