// The resume and reconnect policy, fed by the real RadioPlayer on fake players, the real
// NetworkStatus on a fake path monitor, and a clock the test steps.
#include "../network/FakePathMonitor.h"
#include "FakeMediaPlayer.h"
#include "network/NetworkStatus.h"
#include "playback/PlaybackResumer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Status = PathMonitor::Path::Status;

RadioStation station(const QString& id)
{
    const QString url = "http://127.0.0.1:9/" + id + ".mp3";
    return RadioStation{id, "Name " + id, "", "City", std::nullopt, "logo", url};
}

// Word ids: the tune service has no second way for these.
const RadioStation stationA = station("kexp");
const RadioStation stationB = station("wfmu");

// Time stepped by the test. It outlives the resumer that it is lent to, as
// time does.
struct Ticks {
    qint64 now = 1000;
    qint64 due = 0;
    std::function<void()> call;
};

struct FakeClock final : PlaybackResumer::Clock {
    Ticks& ticks;
    explicit FakeClock(Ticks& ticks)
        : ticks(ticks)
    {}
    qint64 now() const override { return ticks.now; }
    void callAfter(int delayMs, std::function<void()> call) override
    {
        ticks.due = ticks.now + delayMs;
        ticks.call = std::move(call);
    }
    void cancel() override { ticks.call = nullptr; }
};

struct Rig {
    QTemporaryDir dir;
    Preferences preferences{dir.filePath("Sondik.conf")};
    QList<QPointer<FakeMediaPlayer>> created;
    RadioPlayer radio{[this](const QUrl& url) -> std::unique_ptr<MediaPlayer> {
                          auto player = std::make_unique<FakeMediaPlayer>(url);
                          created.append(player.get());
                          return player;
                      },
                      QStringLiteral("tune.invalid")};
    std::unique_ptr<FakePathMonitor> fakeMonitor = std::make_unique<FakePathMonitor>();
    FakePathMonitor* monitor = fakeMonitor.get();
    NetworkStatus network{std::move(fakeMonitor)};
    Ticks clock;
    std::unique_ptr<PlaybackResumer> resumer;

    Rig()
    {
        deliver(Status::Satisfied);
        resumer = std::make_unique<PlaybackResumer>(radio, network, preferences,
                                                    std::make_unique<FakeClock>(clock));
    }

    void deliver(Status status)
    {
        monitor->deliver({status});
        QCoreApplication::processEvents();
    }

    // What a click on a row does.
    void click(const RadioStation& s)
    {
        preferences.setSelectedRadioStationId(s.id);
        radio.play(s, preferences.volume());
    }

    void fail(bool heard)
    {
        auto* player = qobject_cast<FakeMediaPlayer*>(radio.player());
        QVERIFY(player);
        player->decodedAudio = heard;
        player->reportRate(0.0f);
    }

    void run(const QString& steps)
    {
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            if (step == "a" || step == "b") {
                click(step == "a" ? stationA : stationB);
            } else if (step == "fail" || step == "failSilent") {
                fail(step == "fail");
            } else if (step == "down" || step == "up") {
                deliver(step == "up" ? Status::Satisfied : Status::Unsatisfied);
            } else if (step == "stop") {
                radio.stop();
            } else if (step == "play") { // the top bar's play: the selected station
                radio.play(stationA, preferences.volume());
            } else if (step == "deselect") {
                preferences.setSelectedRadioStationId(std::nullopt);
                radio.stop();
                radio.setCurrentStation(std::nullopt);
            } else if (step == "sleep" || step == "wake") {
                resumer->prepareForSleep(step == "sleep");
            } else if (step == "quit") {
                resumer.reset();
            } else if (step.startsWith("wait")) {
                clock.now += step.mid(4).toLongLong();
                if (clock.call && clock.due <= clock.now)
                    std::exchange(clock.call, nullptr)();
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
        }
    }
};

} // namespace

class TestPlaybackResumer : public QObject {
    Q_OBJECT

private slots:
    void resumes_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("plays");
        QTest::addColumn<QString>("unreachable"); // the station told unreachable at the end
        const auto row = [](const char* name, const char* steps, int plays,
                            const char* unreachable = "") {
            QTest::newRow(name) << QString::fromLatin1(steps) << plays
                                << QString::fromLatin1(unreachable);
        };
        row("failed while the path was missing", "a down fail up wait1500", 2);
        row("path back but not yet settled", "a down fail up wait1499", 1);
        row("path dropped again while settling", "a down fail up wait1000 down up wait1000", 1);
        row("path still missing", "a down fail wait60000", 1);
        row("path lost shortly after the failure", "a fail wait5000 down up wait1500", 2);
        row("path lost long after the failure", "a failSilent wait5001 down up wait1500", 1,
            "kexp");
        row("never played, path present: unreachable", "a failSilent wait60000", 1, "kexp");
        row("outage without a failure", "a down up wait1500", 1);
        row("two outages in a row", "a down fail up wait1500 down fail up wait1500", 3);
        row("one attempt per return", "a down fail up wait1500 failSilent wait60000", 2);
        row("path reported again after resuming", "a down fail up wait1500 up wait1500", 2);
        row("failed attempt waits for the next return",
            "a down fail up wait1500 failSilent down up wait1500", 3);
        row("resumed, played, dropped with the path present",
            "a down fail up wait1500 fail wait6000 down up wait1500", 3);
        row("user stopped during the outage", "a down stop up wait1500", 1);
        row("user cleared the selection", "a down fail deselect up wait1500", 1);
        row("user chose another station", "a down fail b up wait1500", 2);
        row("user played again, failed again", "a down fail play fail up wait1500", 3);
        row("user played again and stopped", "a down fail play stop up wait1500", 2);
        row("quit while settling", "a down fail up wait1000 quit wait500", 1);
        // A drop with the path present: tries after 1, 3 and 8 s; a try that
        // plays starts the count anew.
        row("drop: not yet", "a fail wait999", 1);
        row("drop: opened again after 1 s", "a fail wait1000", 2);
        row("three drops, each played again", "a fail wait1000 fail wait1000 fail wait1000", 4);
        row("second try after 3 s", "a fail wait1000 failSilent wait2999", 2);
        row("tries used up: unreachable",
            "a fail wait1000 failSilent wait3000 failSilent wait8000 failSilent wait60000", 4,
            "kexp");
        row("a try that plays starts anew",
            "a fail wait1000 failSilent wait3000 fail wait1000 failSilent wait3000 failSilent "
            "wait8000 failSilent wait60000",
            6, "kexp");
        row("a click while a try waits wins", "a fail b wait60000", 2);
        row("cleared while a try waits", "a fail deselect wait60000", 1);
        row("stopped while a try waits", "a fail stop wait60000", 1);
        row("the next click clears unreachable", "a failSilent a", 2);
        row("drop, then the path goes: resumed once", "a fail down wait60000 up wait1500", 2);
        row("a try fails, then the path goes: resumed once",
            "a fail wait1000 failSilent down wait60000 up wait1500", 3);
        row("sleep while playing", "a sleep wake wait1500", 2);
        row("woke without a path", "a sleep down wake wait5000", 1);
        row("woke, path came back", "a sleep down wake wait5000 up wait1500", 2);
        row("stopped after waking", "a sleep wake wait1000 deselect wait500", 1);
    }

    void resumes()
    {
        QFETCH(QString, steps);
        QFETCH(int, plays);
        QFETCH(QString, unreachable);
        Rig rig;
        rig.run(steps);
        QCOMPARE(rig.created.size(), plays);
        QCOMPARE(rig.radio.unreachableStationId(), unreachable);
    }
};

QTEST_GUILESS_MAIN(TestPlaybackResumer)
#include "tst_playbackresumer.moc"
