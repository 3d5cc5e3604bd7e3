#pragma once

#include "catalog/RadioStation.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

class Preferences;
class RadioPlayer;

// What the player's controls mean, in one place for every control that has
// them: the window's play/pause button and station rows, the desktop's media
// keys and panels. The selected station is the one of the shown list whose
// id Preferences remembers.
class PlaybackController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one PlaybackController")
    // a radioStation, or null
    Q_PROPERTY(QVariant selectedStation READ selectedStationValue NOTIFY selectedStationChanged)
    // "Station — song", the station alone without a song; empty while nothing plays
    Q_PROPERTY(QString nowPlaying READ nowPlaying NOTIFY nowPlayingChanged)

public:
    // The stations shown, in their order; asked afresh at each use.
    using StationList = std::function<QList<RadioStation>()>;

    PlaybackController(RadioPlayer& radioPlayer, Preferences& preferences, StationList stations,
                       QObject* parent = nullptr);

    std::optional<RadioStation> selectedStation() const;
    bool isPlaying() const;
    QString nowPlaying() const;

    // A click on a station's row: remember it, play it at the stored volume.
    Q_INVOKABLE void selectStation(const RadioStation& station);
    // A click on the selected row: forget the selection, stop.
    Q_INVOKABLE void deselectStation();
    // The play/pause button: stop what plays, else play the selected station.
    Q_INVOKABLE void playPause();
    // Only the half of playPause() that applies; for a live stream a pause is a stop.
    Q_INVOKABLE void play();
    Q_INVOKABLE void stop();
    // The neighbour of the selected station in the list, as a click on its
    // row, wrapping at the ends. Nothing without a selected station.
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();
    // As the volume slider writes it, clamped to 0..1; not a number changes nothing.
    Q_INVOKABLE void setVolume(double volume);

signals:
    void selectedStationChanged();
    void nowPlayingChanged();

private:
    void step(int offset);
    QVariant selectedStationValue() const;

    RadioPlayer& m_radioPlayer;
    Preferences& m_preferences;
    StationList m_stations;
};
