#include "MprisService.h"

#include "DesktopLogging.h"
#include "MprisPlayerAdaptor.h"
#include "MprisRootAdaptor.h"
#include "StationArtwork.h"
#include "playback/PlaybackController.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace {
// Object paths take [A-Za-z0-9_] only: anything else as _XX.
QDBusObjectPath trackId(const QString& stationId)
{
    QString element;
    for (const char c : stationId.toUtf8()) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            element += QLatin1Char(c);
        else
            element += QStringLiteral("_%1").arg(uint(uchar(c)), 2, 16, QLatin1Char('0'));
    }
    return QDBusObjectPath(QStringLiteral("/de/sondik/Sondik/station/s") + element);
}

} // namespace

MprisService::MprisService(PlaybackController& controller, RadioPlayer& radioPlayer,
                           Preferences& preferences, StationArtwork& artwork, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_radioPlayer(radioPlayer)
    , m_preferences(preferences)
    , m_artwork(artwork)
{
    new MprisRootAdaptor(*this);   // owned by this object
    new MprisPlayerAdaptor(*this); // owned by this object
    connect(&m_radioPlayer, &RadioPlayer::playerChanged, this, &MprisService::schedulePublish);
    connect(&m_radioPlayer, &RadioPlayer::currentStationChanged, this,
            &MprisService::schedulePublish);
    connect(&m_radioPlayer, &RadioPlayer::streamTitleChanged, this, &MprisService::schedulePublish);
    connect(&m_controller, &PlaybackController::selectedStationChanged, this,
            &MprisService::schedulePublish);
    connect(&m_preferences, &Preferences::volumeChanged, this, &MprisService::schedulePublish);
    connect(&m_artwork, &StationArtwork::finished, this, &MprisService::schedulePublish);
}

MprisService::~MprisService()
{
    if (m_registeredName.isEmpty())
        return;
    m_bus.unregisterObject(QLatin1String(objectPath));
    m_bus.unregisterService(m_registeredName);
}

bool MprisService::start(QDBusConnection bus)
{
    if (!bus.isConnected()) {
        qCInfo(lcDesktop) << "No D-Bus session bus: media keys and desktop media controls cannot "
                             "reach Sondik";
        return false;
    }
    if (!bus.registerObject(QLatin1String(objectPath), this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcDesktop) << "Media controls unavailable: the MPRIS object cannot be registered:"
                             << bus.lastError().message();
        return false;
    }
    // A second player on the same bus takes a name of its own.
    QString name = QLatin1String(serviceName);
    if (!bus.registerService(name)) {
        name += QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
        if (!bus.registerService(name)) {
            qCWarning(lcDesktop) << "Media controls unavailable: no MPRIS bus name:"
                                 << bus.lastError().message();
            bus.unregisterObject(QLatin1String(objectPath));
            return false;
        }
    }
    m_bus = bus;
    m_registeredName = name;
    m_announced = playerProperties();
    return true;
}

bool MprisService::hasStation() const
{
    return m_controller.selectedStation().has_value();
}

QString MprisService::playbackStatus() const
{
    return m_controller.isPlaying() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

std::optional<RadioStation> MprisService::metadataStation() const
{
    // The station playing, else the one the play button would start.
    return m_controller.isPlaying() ? m_radioPlayer.currentStation()
                                    : m_controller.selectedStation();
}

QVariantMap MprisService::metadata() const
{
    const bool playing = m_controller.isPlaying();
    const std::optional<RadioStation> station = metadataStation();
    if (!station)
        return {};
    QVariantMap metadata;
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId(station->id)));
    QString title = playing ? m_radioPlayer.streamTitle() : QString();
    // "Artist - Title", as stations commonly send it.
    const qsizetype dash = title.indexOf(QLatin1String(" - "));
    if (dash > 0 && dash + 3 < title.size()) {
        metadata.insert(QStringLiteral("xesam:artist"), QStringList{title.left(dash)});
        title = title.mid(dash + 3);
    }
    metadata.insert(QStringLiteral("xesam:title"), title.isEmpty() ? station->name : title);
    metadata.insert(QStringLiteral("xesam:album"), station->name);
    const QUrl art = m_artwork.artUrl(*station);
    if (!art.isEmpty())
        metadata.insert(QStringLiteral("mpris:artUrl"), art.toString());
    return metadata;
}

double MprisService::volume() const
{
    return double(m_preferences.volume());
}

void MprisService::setVolume(double volume)
{
    m_controller.setVolume(volume);
}

void MprisService::raise()
{
    if (m_raise)
        m_raise();
}

void MprisService::quit()
{
    if (m_quit)
        m_quit();
}

QVariantMap MprisService::playerProperties() const
{
    const bool station = hasStation();
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanGoNext"), station},
        {QStringLiteral("CanGoPrevious"), station},
        {QStringLiteral("CanPlay"), station},
        {QStringLiteral("CanPause"), station},
    };
}

void MprisService::schedulePublish()
{
    // A click changes several properties at once: one announcement for all.
    if (m_registeredName.isEmpty() || std::exchange(m_publishPosted, true))
        return;
    QMetaObject::invokeMethod(this, &MprisService::publish, Qt::QueuedConnection);
}

void MprisService::publish()
{
    m_publishPosted = false;
    // A new station is announced with its logo: its rendering ends in a
    // moment, and announces then.
    if (const std::optional<RadioStation> station = metadataStation()) {
        m_artwork.artUrl(*station); // starts the rendering
        if (m_artwork.isRendering(*station))
            return;
    }
    const QVariantMap now = playerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(objectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(playerInterface) << changed << QStringList();
    m_bus.send(signal);
}
