#pragma once

#include "catalog/RadioStation.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class NetworkStatus;
class Preferences;
class RadioPlayer;

// Plays a station again, once, when the network path comes back after an
// outage that stopped it, or after the system woke from sleep. Blind retries
// would play into a dead network; this waits for the path.
//
// A stream that played and then ended while the path stayed (a server that
// restarted, an edge that went away) is opened again instead, up to three
// times, after 1, 3 and 8 seconds; a try that plays again starts the count
// anew. When the tries are used up, or a stream that never played fails with
// the path present, the station is told unreachable. A failure while the
// path is missing is always the outage's.
//
// A station is remembered when its stream fails while the path is missing,
// when the path goes missing shortly after such a failure, or when the system
// goes to sleep while it plays. When the path is there again and has settled,
// it is played as a click on its row would: the stored volume, the fade, the
// selection untouched. One attempt per return of the path. Forgotten when the
// user plays, stops, chooses another station or clears the selection.
class PlaybackResumer : public QObject {
    Q_OBJECT

public:
    // Time, and one pending delayed call; tests step it by hand.
    class Clock {
    public:
        virtual ~Clock() = default;
        // Milliseconds on a monotonic clock.
        virtual qint64 now() const = 0;
        // Calls `call` once after `delayMs`, replacing a call still pending.
        virtual void callAfter(int delayMs, std::function<void()> call) = 0;
        virtual void cancel() = 0;
    };

    // DHCP and DNS come up after the route does.
    static constexpr int settlingDelayMs = 1500;
    // A failure this shortly before the path goes missing was the outage's.
    static constexpr qint64 failureBeforeOutageMs = 5000;
    // The waits before each try to open a dropped stream again.
    static constexpr int reconnectDelaysMs[] = {1000, 3000, 8000};

    // The real clock when `clock` is null.
    PlaybackResumer(RadioPlayer& radioPlayer, NetworkStatus& networkStatus,
                    Preferences& preferences, std::unique_ptr<Clock> clock = nullptr,
                    QObject* parent = nullptr);
    ~PlaybackResumer() override;

    // The station waiting for the path, if any.
    std::optional<RadioStation> pendingStation() const { return m_pending; }

public slots:
    // logind's PrepareForSleep: true before sleeping, false after waking.
    void prepareForSleep(bool sleeping);

private:
    void onFailed(const RadioStation& station, bool heard);
    void onPlayerChanged();
    void onPathChanged(bool missing);
    void onSelectionChanged();
    void remember(const RadioStation& station);
    void forget();
    void settle();
    void resume();
    void reconnectLater(const RadioStation& station);
    void reconnect();
    void giveUp(const RadioStation& station);
    // Forgets the dropped station and its tries; the caller cancels the clock.
    void stopReconnecting();
    bool isSelected(const RadioStation& station) const;

    RadioPlayer& m_radioPlayer;
    NetworkStatus& m_networkStatus;
    Preferences& m_preferences;
    std::unique_ptr<Clock> m_clock;

    bool m_missing = false;
    bool m_acting = false; // while this object plays or stops
    std::optional<RadioStation> m_pending;
    // A failure with the path present, and when it came.
    std::optional<RadioStation> m_recentFailure;
    qint64 m_recentFailureAt = 0;
    // The dropped station to open again, and the tries made since it last played.
    std::optional<RadioStation> m_reconnecting;
    int m_reconnectTries = 0;
    // The station of the last resume, until the user acts.
    std::optional<RadioStation> m_attempt;
};
