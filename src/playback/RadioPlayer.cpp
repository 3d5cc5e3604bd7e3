#include "RadioPlayer.h"

#include "PlaybackLogging.h"

#include <algorithm>

namespace {

bool isStreamScheme(const QString& scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

RadioPlayer::RadioPlayer(QObject* parent)
    : RadioPlayer(defaultMediaPlayerFactory(), QStringLiteral(SONDIK_TUNE_HOST), parent)
{}

RadioPlayer::RadioPlayer(MediaPlayerFactory factory, QString tuneHost, QObject* parent)
    : QObject(parent)
    , m_factory(std::move(factory))
    , m_tuneHost(std::move(tuneHost))
{}

RadioPlayer::~RadioPlayer()
{
    invalidateFade();
    if (m_player)
        m_player->disconnect(this);
}

QUrl RadioPlayer::streamUrl(const RadioStation& station, const QString& tuneHost)
{
    QString text = station.streamUrl.value_or(QStringLiteral("https://") + tuneHost +
                                              QStringLiteral("/Tune.ashx?id=") + station.id);
    // An address stored without a scheme ("host/path") could never play.
    if (!text.contains(QLatin1String("://")) && !text.isEmpty())
        text.prepend(QLatin1String("http://"));

    const QUrl url(text, QUrl::StrictMode);
    // Only network streams: a catalog entry must never make the player open a
    // local file or some other protocol handler.
    if (!url.isValid() || !isStreamScheme(url.scheme()) || url.host().isEmpty())
        return {};
    return url;
}

QUrl RadioPlayer::tuneServiceUrl(const RadioStation& station, const QString& tuneHost)
{
    RadioStation tuned = station;
    tuned.streamUrl.reset();
    return streamUrl(tuned, tuneHost);
}

bool RadioPlayer::isTuneServiceId(const QString& id)
{
    return id.size() > 1 && id.front() == QLatin1Char('s') &&
           std::all_of(id.begin() + 1, id.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

void RadioPlayer::play(const RadioStation& radioStation, float volume)
{
    play(Attempt{radioStation, volume, !radioStation.streamUrl});
}

void RadioPlayer::reconnect(const RadioStation& radioStation, float volume)
{
    // The tune service again if that is what played.
    const bool viaTuneService =
        !radioStation.streamUrl ||
        (m_attempt.station.id == radioStation.id && m_attempt.viaTuneService);
    play(Attempt{radioStation, volume, viaTuneService, true});
}

void RadioPlayer::play(const Attempt& attempt)
{
    clearUnreachable();
    const QUrl url = attempt.viaTuneService ? tuneServiceUrl(attempt.station, m_tuneHost)
                                            : streamUrl(attempt.station, m_tuneHost);
    if (url.isEmpty())
        return;
    Attempt started = attempt;
    // The player takes 0 to 1 only; a fade towards a level it cannot reach
    // would never end. NaN counts as silence.
    started.volume = attempt.volume >= 0.0f ? std::min(attempt.volume, 1.0f) : 0.0f;

    std::unique_ptr<MediaPlayer> newPlayer = m_factory ? m_factory(url) : nullptr;
    if (!newPlayer) {
        // No backend: the station cannot play, which is a failure like a dead stream.
        qCWarning(lcPlayer) << "no media player for" << url.toString();
        fail(attempt.station, false);
        return;
    }

    MediaPlayer& player = *newPlayer;
    exchangePlayer(std::move(newPlayer)); // the previous player is silenced here
    if (!start(player, started))
        return;
    setHasError(false);
    setCurrentStation(attempt.station);
}

bool RadioPlayer::start(MediaPlayer& player, const Attempt& attempt)
{
    // A handler of playerChanged may have played another station already,
    // which let go of this player.
    if (m_player.get() != &player)
        return false;
    m_attempt = attempt;
    ++m_starts;
    connect(&player, &MediaPlayer::rateChanged, this, &RadioPlayer::onRateChanged);
    connect(&player, &MediaPlayer::streamTitleChanged, this, &RadioPlayer::onStreamTitleChanged);
    player.setVolume(attempt.volume);
    player.play();
    // A backend may fail inside play(); the failure it reported stands.
    if (m_player.get() != &player)
        return false;
    invalidateFade();
    m_fadeTimer = FadeTimer::start(player, 0.0f, attempt.volume,
                                   attempt.reconnect ? reconnectFadeDuration : fadeInDuration,
                                   fadeTickInterval);
    return true;
}

std::unique_ptr<MediaPlayer> RadioPlayer::playViaTuneService(const Attempt& attempt)
{
    const QUrl url = tuneServiceUrl(attempt.station, m_tuneHost);
    std::unique_ptr<MediaPlayer> newPlayer = url.isEmpty() || !m_factory ? nullptr : m_factory(url);
    if (!newPlayer)
        return fail(attempt.station, false);
    // Once per station, so that a stale row can be found and mended.
    if (!m_staleReported.contains(attempt.station.id)) {
        m_staleReported.insert(attempt.station.id);
        qCWarning(lcPlayer).noquote()
            << "the stream address of" << attempt.station.id << attempt.station.name
            << "gave no sound; playing it through the tune service instead";
    }

    MediaPlayer& player = *newPlayer;
    std::unique_ptr<MediaPlayer> old = exchangePlayer(std::move(newPlayer));
    start(player, {attempt.station, attempt.volume, true, false});
    return old;
}

void RadioPlayer::stop()
{
    clearUnreachable();
    invalidateFade();
    setPlayer(nullptr);
    emit stopped();
}

void RadioPlayer::onRateChanged()
{
    if (!m_player || m_player->rate() != 0.0f)
        return;
    const Attempt attempt = m_attempt;
    const bool heard = m_player->hasDecodedAudio();
    // An address that never gave a sound may have gone stale: the tune
    // service knows where the station streams now. A stream that played and
    // stopped is not stale, nor one that played before a drop.
    const bool stale = !heard && !attempt.viaTuneService && !attempt.reconnect &&
                       isTuneServiceId(attempt.station.id);
    // The player released here is the sender: let it finish emitting.
    if (std::unique_ptr<MediaPlayer> old =
            stale ? playViaTuneService(attempt) : fail(attempt.station, heard))
        old.release()->deleteLater();
}

void RadioPlayer::onStreamTitleChanged(const QString& title)
{
    m_streamTitle = cleanStreamTitle(title);
    emit streamTitleChanged();
}

QString RadioPlayer::cleanStreamTitle(const QString& title)
{
    QString clean;
    clean.reserve(std::min(title.size(), maxStreamTitleLength + 1));
    bool space = false;
    for (const QChar c : title) {
        const char16_t u = c.unicode();
        if (c.isSpace()) {
            space = !clean.isEmpty();
            continue;
        }
        // Text-direction controls would reorder whatever is shown after them.
        if (c.category() == QChar::Other_Control || (u >= 0x202a && u <= 0x202e) ||
            (u >= 0x2066 && u <= 0x2069) || u == 0x200e || u == 0x200f)
            continue;
        if (space)
            clean += QLatin1Char(' ');
        space = false;
        clean += c;
        if (clean.size() > maxStreamTitleLength)
            break;
    }
    if (clean.size() > maxStreamTitleLength) {
        qsizetype end = maxStreamTitleLength - 1;
        if (clean.at(end - 1).isHighSurrogate())
            --end; // never half a character
        clean.truncate(end);
        clean += QChar(0x2026);
    }
    return clean;
}

std::unique_ptr<MediaPlayer> RadioPlayer::fail(const RadioStation& station, bool heard)
{
    // Every write first, then the notifications in the same order: a handler
    // that plays again from any of them is not undone by what follows.
    const quint64 starts = m_starts;
    m_hasError = true;
    invalidateFade();
    std::unique_ptr<MediaPlayer> old = std::exchange(m_player, nullptr);
    m_currentStation.reset();
    m_streamTitle.clear();
    if (old)
        old->disconnect(this);
    emit hasErrorChanged();
    emit playerChanged();
    emit currentStationChanged();
    emit streamTitleChanged();
    if (m_starts == starts)
        emit failed(station, heard);
    return old;
}

std::unique_ptr<MediaPlayer> RadioPlayer::exchangePlayer(std::unique_ptr<MediaPlayer> player)
{
    std::unique_ptr<MediaPlayer> old = std::exchange(m_player, std::move(player));
    m_streamTitle.clear(); // the title belonged to the player let go of
    if (old)
        old->disconnect(this); // a released player reports nothing more
    emit playerChanged();
    emit streamTitleChanged();
    return old;
}

void RadioPlayer::setPlayer(std::unique_ptr<MediaPlayer> player)
{
    exchangePlayer(std::move(player));
    // The old player is destroyed here, which silences it.
}

void RadioPlayer::setHasError(bool hasError)
{
    m_hasError = hasError;
    emit hasErrorChanged();
}

void RadioPlayer::setCurrentStation(const std::optional<RadioStation>& station)
{
    m_currentStation = station;
    emit currentStationChanged();
}

void RadioPlayer::setUnreachable(const RadioStation& station)
{
    m_unreachableStationId = station.id;
    emit unreachableStationIdChanged();
}

void RadioPlayer::clearUnreachable()
{
    if (m_unreachableStationId.isEmpty())
        return;
    m_unreachableStationId.clear();
    emit unreachableStationIdChanged();
}

void RadioPlayer::setVolume(float volume)
{
    invalidateFade();
    if (m_player)
        m_player->setVolume(volume);
}

void RadioPlayer::invalidateFade()
{
    if (m_fadeTimer)
        m_fadeTimer->invalidate();
}

QVariant RadioPlayer::currentStationValue() const
{
    return m_currentStation ? QVariant::fromValue(*m_currentStation) : QVariant();
}

void RadioPlayer::setCurrentStationValue(const QVariant& station)
{
    if (station.canConvert<RadioStation>() && !station.isNull())
        setCurrentStation(station.value<RadioStation>());
    else
        setCurrentStation(std::nullopt);
}
