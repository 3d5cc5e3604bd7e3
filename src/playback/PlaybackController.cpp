#include "PlaybackController.h"

#include "Preferences.h"
#include "RadioPlayer.h"

#include <algorithm>
#include <cmath>

PlaybackController::PlaybackController(RadioPlayer& radioPlayer, Preferences& preferences,
                                       StationList stations, QObject* parent)
    : QObject(parent)
    , m_radioPlayer(radioPlayer)
    , m_preferences(preferences)
    , m_stations(std::move(stations))
{
    connect(&m_preferences, &Preferences::selectedRadioStationIdChanged, this,
            &PlaybackController::selectedStationChanged);
    connect(&m_radioPlayer, &RadioPlayer::playerChanged, this,
            &PlaybackController::nowPlayingChanged);
    connect(&m_radioPlayer, &RadioPlayer::currentStationChanged, this,
            &PlaybackController::nowPlayingChanged);
    connect(&m_radioPlayer, &RadioPlayer::streamTitleChanged, this,
            &PlaybackController::nowPlayingChanged);
}

std::optional<RadioStation> PlaybackController::selectedStation() const
{
    const std::optional<QString> id = m_preferences.selectedRadioStationId();
    if (!id)
        return std::nullopt;
    for (const RadioStation& station : m_stations()) {
        if (station.id == *id)
            return station;
    }
    return std::nullopt;
}

bool PlaybackController::isPlaying() const
{
    return m_radioPlayer.player() != nullptr;
}

QString PlaybackController::nowPlaying() const
{
    const std::optional<RadioStation> station = m_radioPlayer.currentStation();
    if (!isPlaying() || !station)
        return {};
    const QString title = m_radioPlayer.streamTitle();
    return title.isEmpty() ? station->name : station->name + QStringLiteral(" — ") + title;
}

void PlaybackController::selectStation(const RadioStation& station)
{
    m_preferences.setSelectedRadioStationId(station.id);
    m_radioPlayer.play(station, m_preferences.volume());
}

void PlaybackController::deselectStation()
{
    m_preferences.setSelectedRadioStationId(std::nullopt);
    m_radioPlayer.stop();
    m_radioPlayer.setCurrentStation(std::nullopt);
}

void PlaybackController::playPause()
{
    if (isPlaying())
        stop();
    else
        play();
}

void PlaybackController::play()
{
    if (isPlaying())
        return;
    if (const std::optional<RadioStation> station = selectedStation())
        m_radioPlayer.play(*station, m_preferences.volume());
}

void PlaybackController::stop()
{
    if (isPlaying())
        m_radioPlayer.stop();
}

void PlaybackController::next()
{
    step(1);
}

void PlaybackController::previous()
{
    step(-1);
}

void PlaybackController::step(int offset)
{
    const std::optional<QString> id = m_preferences.selectedRadioStationId();
    if (!id)
        return;
    const QList<RadioStation> stations = m_stations();
    for (qsizetype i = 0; i < stations.size(); ++i) {
        if (stations[i].id == *id) {
            const qsizetype n = stations.size();
            selectStation(stations[((i + offset) % n + n) % n]);
            return;
        }
    }
}

void PlaybackController::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    m_preferences.setVolume(float(std::clamp(volume, 0.0, 1.0)));
}

QVariant PlaybackController::selectedStationValue() const
{
    const std::optional<RadioStation> station = selectedStation();
    return station ? QVariant::fromValue(*station) : QVariant();
}
