#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <functional>
#include <optional>

class PlaybackController;
class Preferences;
class RadioPlayer;
class RadioStation;
class StationArtwork;

// The player on the session bus as MPRIS2 describes it, for media keys,
// desktop panels, KDE Connect and playerctl: org.mpris.MediaPlayer2.sondik
// at /org/mpris/MediaPlayer2. The controls do what the window's do (through
// PlaybackController); every change of a player property is announced with
// its new value.
class MprisService : public QObject {
    Q_OBJECT

public:
    static constexpr const char* serviceName = "org.mpris.MediaPlayer2.sondik";
    static constexpr const char* objectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* playerInterface = "org.mpris.MediaPlayer2.Player";

    MprisService(PlaybackController& controller, RadioPlayer& radioPlayer, Preferences& preferences,
                 StationArtwork& artwork, QObject* parent = nullptr);
    ~MprisService() override;

    // Puts the object and the name on the bus; false, said once on the log,
    // where there is no bus or the name cannot be had.
    bool start(QDBusConnection bus = QDBusConnection::sessionBus());

    void setOnRaise(std::function<void()> raise) { m_raise = std::move(raise); }
    void setOnQuit(std::function<void()> quit) { m_quit = std::move(quit); }

    // For the adaptors.
    PlaybackController& controller() const { return m_controller; }
    bool hasStation() const;
    QString playbackStatus() const;
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double volume);
    void raise();
    void quit();

private:
    std::optional<RadioStation> metadataStation() const;
    QVariantMap playerProperties() const;
    void schedulePublish();
    void publish();

    PlaybackController& m_controller;
    RadioPlayer& m_radioPlayer;
    Preferences& m_preferences;
    StationArtwork& m_artwork;
    std::function<void()> m_raise;
    std::function<void()> m_quit;
    QDBusConnection m_bus{QString()};
    QString m_registeredName;
    QVariantMap m_announced;
    bool m_publishPosted = false;
};
