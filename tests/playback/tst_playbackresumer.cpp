// The resume policy, fed by the real RadioPlayer on fake players, the real
// NetworkStatus on a fake path monitor, and a clock the test steps.
#include "FakeMediaPlayer.h"
#include "network/NetworkStatus.h"
#include "playback/PlaybackResumer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Status = PathMonitor::Path::Status;

RadioStation station(const QString& id)
{
    return RadioStation{id,
                        "Name " + id,
                        "",
                        "City",
                        std::nullopt,
                        "logo",
                        QStringLiteral("http://127.0.0.1:9/%1.mp3").arg(id)};
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

    void advance(qint64 ms)
    {
        now += ms;
        if (call && due <= now)
            std::exchange(call, nullptr)();
    }
};

class FakeClock final : public PlaybackResumer::Clock {
public:
    explicit FakeClock(Ticks& ticks)
        : m_ticks(ticks)
    {}
    qint64 now() const override { return m_ticks.now; }
    void callAfter(int delayMs, std::function<void()> call) override
    {
        m_ticks.due = m_ticks.now + delayMs;
        m_ticks.call = std::move(call);
    }
    void cancel() override { m_ticks.call = nullptr; }

private:
    Ticks& m_ticks;
};

// Paths arrive as the system monitor's would, handed to the main thread.
class FakePathMonitor final : public PathMonitor {
public:
    bool start(const std::string&, PathUpdateHandler handler) override
    {
        m_handler = std::move(handler);
        return true;
    }
    void deliver(Status status)
    {
        m_handler(Path{status});
        QCoreApplication::processEvents();
    }

private:
    PathUpdateHandler m_handler;
};

struct Rig {
    QTemporaryDir dir;
    Preferences preferences{dir.filePath("Sondik.conf")};
    QList<QPointer<FakeMediaPlayer>> created;
    QStringList playedIds;
    RadioPlayer radio{[this](const QUrl& url) -> std::unique_ptr<MediaPlayer> {
                          playedIds.append(url.fileName().section('.', 0, 0));
                          auto player = std::make_unique<FakeMediaPlayer>(url);
                          created.append(player.get());
                          return player;
                      },
                      QStringLiteral("tune.invalid")};
    FakePathMonitor* monitor = nullptr;
    std::unique_ptr<NetworkStatus> network;
    Ticks clock;
    std::unique_ptr<PlaybackResumer> resumer;

    Rig()
    {
        auto fake = std::make_unique<FakePathMonitor>();
        monitor = fake.get();
        network = std::make_unique<NetworkStatus>(std::move(fake));
        monitor->deliver(Status::Satisfied);
        resumer = std::make_unique<PlaybackResumer>(radio, *network, preferences,
                                                    std::make_unique<FakeClock>(clock));
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

    // The stations played, in order, by the ids of their URLs.
    QStringList played() const { return playedIds; }

    void run(const QString& steps)
    {
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            if (step == "a")
                click(stationA);
            else if (step == "b")
                click(stationB);
            else if (step == "fail")
                fail(true);
            else if (step == "failSilent")
                fail(false);
            else if (step == "down")
                monitor->deliver(Status::Unsatisfied);
            else if (step == "up")
                monitor->deliver(Status::Satisfied);
            else if (step == "stop")
                radio.stop();
            else if (step == "play") // the top bar's play: the selected station
                radio.play(stationA, preferences.volume());
            else if (step == "deselect") {
                preferences.setSelectedRadioStationId(std::nullopt);
                radio.stop();
                radio.setCurrentStation(std::nullopt);
            } else if (step == "sleep")
                resumer->prepareForSleep(true);
            else if (step == "wake")
                resumer->prepareForSleep(false);
            else if (step == "quit")
                resumer.reset();
            else if (step.startsWith("wait"))
                clock.advance(step.mid(4).toLongLong());
            else
                QFAIL(qPrintable("unknown step " + step));
        }
    }
};

} // namespace

class TestPlaybackResumer : public QObject {
    Q_OBJECT

private slots:
    void resumes_data();
    void resumes();
    void resumesAsARowClickWould();
    void waitsWithoutPretendingToPlay();
};

void TestPlaybackResumer::resumes_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("played");

    const QStringList once{"kexp"}, twice{"kexp", "kexp"}, thrice{"kexp", "kexp", "kexp"};
    QTest::newRow("failed while the path was missing") << "a down fail up wait1500" << twice;
    QTest::newRow("path back but not yet settled") << "a down fail up wait1499" << once;
    QTest::newRow("path dropped again while settling")
        << "a down fail up wait1000 down up wait1000" << once;
    QTest::newRow("settled after the second return")
        << "a down fail up wait1000 down up wait1500" << twice;
    QTest::newRow("path still missing") << "a down fail wait60000" << once;
    QTest::newRow("path lost shortly after the failure")
        << "a fail wait5000 down up wait1500" << twice;
    QTest::newRow("path lost long after the failure") << "a fail wait5001 down up wait1500" << once;
    QTest::newRow("failure with the path present") << "a fail wait60000" << once;
    QTest::newRow("outage without a failure") << "a down up wait1500" << once;
    QTest::newRow("two outages in a row")
        << "a down fail up wait1500 down fail up wait1500" << thrice;
    QTest::newRow("one attempt per return")
        << "a down fail up wait1500 failSilent wait60000" << twice;
    QTest::newRow("failed attempt waits for the next return")
        << "a down fail up wait1500 failSilent down up wait1500" << thrice;
    QTest::newRow("resumed, played, died with the path present")
        << "a down fail up wait1500 fail wait6000 down up wait1500" << twice;
    QTest::newRow("user stopped during the outage") << "a down stop up wait1500" << once;
    QTest::newRow("user cleared the selection") << "a down fail deselect up wait1500" << once;
    QTest::newRow("user cleared the selection while settling")
        << "a down fail up wait1000 deselect wait500" << once;
    QTest::newRow("user chose another station")
        << "a down fail b up wait1500" << QStringList{"kexp", "wfmu"};
    QTest::newRow("user played again, failed again")
        << "a down fail play fail up wait1500" << thrice;
    QTest::newRow("user played again and stopped") << "a down fail play stop up wait1500" << twice;
    QTest::newRow("quit while settling") << "a down fail up wait1000 quit wait500" << once;
    QTest::newRow("sleep while playing") << "a sleep wake wait1500" << twice;
    QTest::newRow("woke without a path") << "a sleep down wake wait5000" << once;
    QTest::newRow("woke, path came back") << "a sleep down wake wait5000 up wait1500" << twice;
    QTest::newRow("sleep with nothing playing") << "a stop sleep wake wait1500" << once;
    QTest::newRow("stopped after waking") << "a sleep wake wait1000 deselect wait500" << once;
}

void TestPlaybackResumer::resumes()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, played);
    Rig rig;
    rig.run(steps);
    QCOMPARE(rig.played(), played);
}

void TestPlaybackResumer::resumesAsARowClickWould()
{
    Rig rig;
    rig.run("a down fail");
    rig.preferences.setVolume(0.3f);
    QSignalSpy selection(&rig.preferences, &Preferences::selectedRadioStationIdChanged);
    rig.run("up wait1500");

    QCOMPARE(rig.played(), QStringList({"kexp", "kexp"}));
    FakeMediaPlayer* resumed = rig.created.last();
    QCOMPARE(rig.radio.player(), resumed);
    QCOMPARE(rig.radio.currentStation(), stationA);
    QVERIFY(!rig.radio.hasError());
    // The stored volume, reached through the fade from silence.
    QCOMPARE(resumed->volumes.value(0), 0.3f);
    QCOMPARE(resumed->volumes.value(1), 0.0f);
    QVERIFY(rig.radio.fadeTimer() && rig.radio.fadeTimer()->isValid());
    QCOMPARE(selection.count(), 0);
    QCOMPARE(rig.preferences.selectedRadioStationId(), stationA.id);
}

void TestPlaybackResumer::waitsWithoutPretendingToPlay()
{
    Rig rig;
    rig.run("a down fail up wait1000");
    QCOMPARE(rig.resumer->pendingStation(), stationA);
    QCOMPARE(rig.radio.player(), nullptr);
    QVERIFY(rig.radio.hasError());
    QCOMPARE(rig.preferences.selectedRadioStationId(), stationA.id);
    rig.run("wait500");
    QCOMPARE(rig.resumer->pendingStation(), std::nullopt);
}

QTEST_GUILESS_MAIN(TestPlaybackResumer)
#include "tst_playbackresumer.moc"
