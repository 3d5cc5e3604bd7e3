#pragma once

#include "FadeTimer.h"
#include "MediaPlayer.h"
#include "catalog/RadioStation.h"

#include <QObject>
#include <QSet>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

// Turns a chosen station into sound: picks the stream URL, starts a media
// player with an 8-second fade-in, and notices when the stream dies.
class RadioPlayer : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one RadioPlayer")
    // null while nothing plays
    Q_PROPERTY(MediaPlayer* player READ player NOTIFY playerChanged)
    Q_PROPERTY(bool hasError READ hasError NOTIFY hasErrorChanged)
    // a radioStation, or null
    Q_PROPERTY(QVariant currentStation READ currentStationValue WRITE setCurrentStationValue NOTIFY
                   currentStationChanged)
    // What the playing station says is on air, cleaned for display as plain
    // text; empty while nothing plays or the station sends no title.
    Q_PROPERTY(QString streamTitle READ streamTitle NOTIFY streamTitleChanged)
    // The station that failed for good (every way to it tried), until the
    // next play or stop; empty otherwise.
    Q_PROPERTY(
        QString unreachableStationId READ unreachableStationId NOTIFY unreachableStationIdChanged)

public:
    static constexpr float fadeInDuration = 8.0f; // seconds
    // Coming back after a drop: long enough not to click.
    static constexpr float reconnectFadeDuration = 0.5f; // seconds
    static constexpr float fadeTickInterval = 0.05f;     // seconds

    explicit RadioPlayer(QObject* parent = nullptr);
    RadioPlayer(MediaPlayerFactory factory, QString tuneHost, QObject* parent = nullptr);
    ~RadioPlayer() override;

    Q_INVOKABLE void play(const RadioStation& radioStation, float volume);
    Q_INVOKABLE void stop();
    // Opens a station that played and dropped again, the way that worked,
    // with a short fade. A failure of it is not taken for a stale address.
    void reconnect(const RadioStation& radioStation, float volume);
    // The user's volume for what plays now. It ends a fade-in under way, which
    // would otherwise climb back to the level chosen before.
    void setVolume(float volume);

    FadeTimer* fadeTimer() const { return m_fadeTimer.get(); }
    MediaPlayer* player() const { return m_player.get(); }
    bool hasError() const { return m_hasError; }
    std::optional<RadioStation> currentStation() const { return m_currentStation; }
    void setCurrentStation(const std::optional<RadioStation>& station);
    QString streamTitle() const { return m_streamTitle; }
    QString unreachableStationId() const { return m_unreachableStationId; }
    // Told by whoever gave up on the station.
    void setUnreachable(const RadioStation& station);

    // A title from the network made safe to show: control and text-direction
    // characters removed, runs of white space made one space, at most
    // maxStreamTitleLength characters (the end marked by an ellipsis).
    static constexpr qsizetype maxStreamTitleLength = 300;
    static QString cleanStreamTitle(const QString& title);

    // The stream URL of a station: its own, else the tune service's for its
    // id. Text without a scheme is taken as http. Empty when it cannot play.
    static QUrl streamUrl(const RadioStation& station, const QString& tuneHost);
    // The tune service's URL for a station's id, whatever its own URL.
    static QUrl tuneServiceUrl(const RadioStation& station, const QString& tuneHost);
    // Whether an id is one the tune service knows: "s" and digits.
    static bool isTuneServiceId(const QString& id);

signals:
    void playerChanged();
    void hasErrorChanged();
    void currentStationChanged();
    // After the failure sequence: the station whose stream stopped by itself,
    // and whether any of its audio had been decoded.
    void failed(const RadioStation& station, bool heard);
    // After stop().
    void stopped();
    void streamTitleChanged();
    void unreachableStationIdChanged();

private:
    // What the current player was started with.
    struct Attempt {
        RadioStation station;
        float volume = 0.0f;
        bool viaTuneService = false;
        bool reconnect = false;
    };

    void onRateChanged();
    void play(const Attempt& attempt);
    // Starts `player` as the current one; false when it failed at once.
    bool start(MediaPlayer& player, const Attempt& attempt);
    void clearUnreachable();
    // A station's own address that never gave a sound: once more through the
    // tune service. Returns the player let go of.
    std::unique_ptr<MediaPlayer> playViaTuneService(const Attempt& attempt);
    void onStreamTitleChanged(const QString& title);
    // The failure sequence; returns the player let go of, for the caller to dispose of.
    std::unique_ptr<MediaPlayer> fail(const RadioStation& station, bool heard);
    // Returns the player let go of.
    std::unique_ptr<MediaPlayer> exchangePlayer(std::unique_ptr<MediaPlayer> player);
    void setPlayer(std::unique_ptr<MediaPlayer> player);
    void setHasError(bool hasError);
    void invalidateFade();
    QVariant currentStationValue() const;
    void setCurrentStationValue(const QVariant& station);

    MediaPlayerFactory m_factory;
    QString m_tuneHost;
    std::unique_ptr<FadeTimer> m_fadeTimer;
    std::unique_ptr<MediaPlayer> m_player;
    bool m_hasError = false;
    std::optional<RadioStation> m_currentStation;
    Attempt m_attempt;
    // Counts the players started, so a failure can tell whether a handler of
    // its notifications has started another.
    quint64 m_starts = 0;
    QSet<QString> m_staleReported;
    QString m_streamTitle;
    QString m_unreachableStationId;
};
