#include "PlaybackResumer.h"

#include "PlaybackLogging.h"
#include "Preferences.h"
#include "RadioPlayer.h"
#include "network/NetworkStatus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <iterator>

namespace {

class EventLoopClock final : public PlaybackResumer::Clock {
public:
    EventLoopClock()
    {
        m_elapsed.start();
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto call = std::exchange(m_call, nullptr))
                call();
        });
    }

    qint64 now() const override { return m_elapsed.elapsed(); }
    void callAfter(int delayMs, std::function<void()> call) override
    {
        m_call = std::move(call);
        m_timer.start(delayMs);
    }
    void cancel() override
    {
        m_timer.stop();
        m_call = nullptr;
    }

private:
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    std::function<void()> m_call;
};

} // namespace

PlaybackResumer::PlaybackResumer(RadioPlayer& radioPlayer, NetworkStatus& networkStatus,
                                 Preferences& preferences, std::unique_ptr<Clock> clock,
                                 QObject* parent)
    : QObject(parent)
    , m_radioPlayer(radioPlayer)
    , m_networkStatus(networkStatus)
    , m_preferences(preferences)
    , m_clock(clock ? std::move(clock) : std::make_unique<EventLoopClock>())
    , m_missing(networkStatus.missingConnection())
{
    connect(&radioPlayer, &RadioPlayer::failed, this, &PlaybackResumer::onFailed);
    connect(&radioPlayer, &RadioPlayer::playerChanged, this, &PlaybackResumer::onPlayerChanged);
    connect(&radioPlayer, &RadioPlayer::stopped, this, [this] {
        if (!m_acting)
            forget();
    });
    connect(&networkStatus, &NetworkStatus::missingConnectionChanged, this,
            &PlaybackResumer::onPathChanged);
    connect(&preferences, &Preferences::selectedRadioStationIdChanged, this,
            &PlaybackResumer::onSelectionChanged);
    // Nothing starts on the way out.
    if (QCoreApplication* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &PlaybackResumer::forget);
}

PlaybackResumer::~PlaybackResumer()
{
    m_clock->cancel();
}

void PlaybackResumer::prepareForSleep(bool sleeping)
{
    if (sleeping) {
        // A stream does not outlive the sleep: stop it now rather than let a
        // dead connection pretend to play after waking.
        const std::optional<RadioStation> playing = m_radioPlayer.currentStation();
        if (!m_radioPlayer.player() || !playing)
            return;
        qCInfo(lcPlayer).noquote()
            << "the system sleeps: stopping" << playing->id << "to play it again after waking";
        m_acting = true;
        m_radioPlayer.stop();
        m_acting = false;
        remember(*playing);
        return;
    }
    if (m_pending && !m_missing)
        settle();
    // With the path missing, its return starts the station.
}

void PlaybackResumer::onFailed(const RadioStation& station, bool heard)
{
    const bool wasAttempt = m_attempt && m_attempt->id == station.id;
    const bool wasReconnect = m_reconnecting && m_reconnecting->id == station.id;
    m_attempt.reset();
    m_recentFailure.reset();
    m_reconnecting.reset();
    if (m_missing) {
        m_reconnectTries = 0;
        remember(station);
        return;
    }
    if (wasAttempt && !heard) {
        // The path came back but the station did not: wait for the next return.
        remember(station);
        return;
    }
    // Unless the path goes missing in a moment: then it was the outage's.
    m_recentFailure = station;
    m_recentFailureAt = m_clock->now();
    if (heard) {
        qCInfo(lcPlayer).noquote() << "the stream of" << station.id
                                   << "ended while the network is there: opening it again";
        m_reconnectTries = 0;
        reconnectLater(station);
    } else if (wasReconnect && m_reconnectTries < int(std::size(reconnectDelaysMs))) {
        reconnectLater(station);
    } else {
        giveUp(station);
    }
}

void PlaybackResumer::reconnectLater(const RadioStation& station)
{
    if (!isSelected(station))
        return;
    m_reconnecting = station;
    m_clock->callAfter(reconnectDelaysMs[m_reconnectTries++], [this] { reconnect(); });
}

void PlaybackResumer::reconnect()
{
    const std::optional<RadioStation> station = m_reconnecting;
    if (!station || m_missing || m_radioPlayer.player() || !isSelected(*station)) {
        m_reconnecting.reset();
        return;
    }
    m_acting = true;
    m_radioPlayer.reconnect(*station, m_preferences.volume());
    m_acting = false;
}

void PlaybackResumer::giveUp(const RadioStation& station)
{
    m_reconnectTries = 0;
    if (!isSelected(station))
        return;
    qCInfo(lcPlayer).noquote() << station.id << "cannot be reached";
    m_radioPlayer.setUnreachable(station);
}

void PlaybackResumer::onPlayerChanged()
{
    // A player that this object did not start: the user plays something.
    // (Failures and stops are told apart by their own signals.)
    if (!m_acting && m_radioPlayer.player()) {
        m_pending.reset();
        m_recentFailure.reset();
        stopReconnecting();
        m_clock->cancel();
    }
}

void PlaybackResumer::onPathChanged(bool missing)
{
    // Every update is published, also an unchanged one.
    if (missing == m_missing)
        return;
    m_missing = missing;
    if (missing) {
        // A reconnect waiting: the path's return plays it instead.
        m_clock->cancel();
        stopReconnecting();
        if (m_recentFailure && m_clock->now() - m_recentFailureAt <= failureBeforeOutageMs)
            remember(*m_recentFailure);
        m_recentFailure.reset();
    } else if (m_pending) {
        settle();
    }
}

void PlaybackResumer::onSelectionChanged()
{
    if (m_pending && !isSelected(*m_pending))
        forget();
    if (m_recentFailure && !isSelected(*m_recentFailure))
        m_recentFailure.reset();
    if (m_reconnecting && !isSelected(*m_reconnecting)) {
        m_reconnecting.reset();
        m_clock->cancel();
    }
}

void PlaybackResumer::remember(const RadioStation& station)
{
    if (!isSelected(station))
        return;
    m_pending = station;
}

void PlaybackResumer::forget()
{
    m_pending.reset();
    m_recentFailure.reset();
    m_attempt.reset();
    stopReconnecting();
    m_clock->cancel();
}

void PlaybackResumer::stopReconnecting()
{
    m_reconnecting.reset();
    m_reconnectTries = 0;
}

void PlaybackResumer::settle()
{
    m_clock->callAfter(settlingDelayMs, [this] { resume(); });
}

void PlaybackResumer::resume()
{
    const std::optional<RadioStation> station = std::exchange(m_pending, std::nullopt);
    if (!station || m_missing || m_radioPlayer.player() || !isSelected(*station))
        return;
    qCInfo(lcPlayer).noquote() << "the network is back: playing" << station->id << "again";
    m_attempt = station;
    m_acting = true;
    m_radioPlayer.play(*station, m_preferences.volume());
    m_acting = false;
}

bool PlaybackResumer::isSelected(const RadioStation& station) const
{
    return m_preferences.selectedRadioStationId() == station.id;
}
