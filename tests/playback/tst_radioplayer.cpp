#include "FakeMediaPlayer.h"
#include "playback/RadioPlayer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

RadioStation station(const QString& id, std::optional<QString> url)
{
    return RadioStation{id, "Name " + id, "Subtitle", "City", 99.9, "logo", std::move(url)};
}

const RadioStation stationA = station("s1", "http://127.0.0.1:8000/a.mp3");
const RadioStation stationB = station("s2", "https://127.0.0.1:8000/b.m3u");

// Creates fake players and remembers them.
struct Backend {
    int alive = 0;
    QList<QPointer<FakeMediaPlayer>> created;
    QList<QUrl> urls;
    bool available = true;

    MediaPlayerFactory factory()
    {
        return [this](const QUrl& url) -> std::unique_ptr<MediaPlayer> {
            urls.append(url);
            if (!available)
                return nullptr;
            auto player = std::make_unique<FakeMediaPlayer>(url, &alive);
            created.append(player.get());
            return player;
        };
    }
    FakeMediaPlayer* last() const { return created.isEmpty() ? nullptr : created.last().get(); }
};

// Plays and takes the fade over from the real timer, so the test steps it.
void playManually(RadioPlayer& radio, const RadioStation& s, float volume)
{
    radio.play(s, volume);
    if (radio.fadeTimer())
        radio.fadeTimer()->timer().stop();
}

// One fade tick: the timer fires, then the tick it queued runs.
void step(FadeTimer* timer)
{
    timer->fire();
    QCoreApplication::processEvents();
}

// Steps until the fade ends; returns the number of ticks, -1 if it never ends.
int stepToEnd(FadeTimer* timer)
{
    for (int ticks = 1; ticks <= 1000; ++ticks) {
        step(timer);
        if (!timer->isValid())
            return ticks;
    }
    return -1;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestRadioPlayer : public QObject {
    Q_OBJECT

private slots:
    void streamUrl_data()
    {
        QTest::addColumn<QString>("stored"); // null: tune service
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expected"); // empty: cannot play

        QTest::newRow("own address") << "http://a.example/live.mp3"
                                     << "s1"
                                     << "http://a.example/live.mp3";
        QTest::newRow("query kept") << "https://a.example/x.mp3?ref=web"
                                    << "s1"
                                    << "https://a.example/x.mp3?ref=web";
        QTest::newRow("tune service") << QString() << "s38989"
                                      << "https://tune.example/Tune.ashx?id=s38989";
        QTest::newRow("no scheme is http") << "listen.technobase.fm/tunein-dsl-pls"
                                           << "s1"
                                           << "http://listen.technobase.fm/tunein-dsl-pls";
        QTest::newRow("empty") << ""
                               << "s1"
                               << "";
        QTest::newRow("blank inside") << "http://exa mple.com/x"
                                      << "s1"
                                      << "";
        QTest::newRow("broken IPv6 host") << "http://[::1/x"
                                          << "s1"
                                          << "";
        QTest::newRow("local file") << "file:///etc/passwd"
                                    << "s1"
                                    << "";
        QTest::newRow("absolute path") << "/etc/passwd"
                                       << "s1"
                                       << "";
        QTest::newRow("other protocol") << "ftp://a.example/x.mp3"
                                        << "s1"
                                        << "";
        QTest::newRow("tune id that is no URL") << QString() << "s 1"
                                                << "";
    }

    void streamUrl()
    {
        QFETCH(QString, stored);
        QFETCH(QString, id);
        QFETCH(QString, expected);
        const RadioStation s =
            station(id, stored.isNull() ? std::nullopt : std::optional<QString>(stored));
        QCOMPARE(RadioPlayer::streamUrl(s, "tune.example").toString(), expected);
    }

    void playStartsSilentAndFades()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        QSignalSpy playerSpy(&radio, &RadioPlayer::playerChanged);
        QSignalSpy errorSpy(&radio, &RadioPlayer::hasErrorChanged);
        QSignalSpy stationSpy(&radio, &RadioPlayer::currentStationChanged);

        radio.play(stationA, 0.7f);
        QCOMPARE(backend.urls, QList<QUrl>{QUrl("http://127.0.0.1:8000/a.mp3")});
        FakeMediaPlayer* player = backend.last();
        QCOMPARE(radio.player(), player);
        QCOMPARE(player->playCalls, 1);
        // The stored volume first, then the fade starts from silence.
        QCOMPARE(player->volumes, QList<float>({0.7f, 0.0f}));
        QCOMPARE(radio.currentStation(), stationA);
        QVERIFY(!radio.hasError());
        QCOMPARE(playerSpy.size(), 1);
        QCOMPARE(errorSpy.size(), 1);
        QCOMPARE(stationSpy.size(), 1);
        QVERIFY(radio.fadeTimer() && radio.fadeTimer()->isValid());
    }

    void fadeStepsToTarget_data()
    {
        QTest::addColumn<float>("target");
        QTest::newRow("full") << 1.0f;
        QTest::newRow("0.3") << 0.3f;
        QTest::newRow("tiny") << 0.01f;
    }

    void fadeStepsToTarget()
    {
        QFETCH(float, target);
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, target);
        FadeTimer* timer = radio.fadeTimer();
        FakeMediaPlayer* player = backend.last();

        const int ticks = stepToEnd(timer);
        // 160 steps of target/160, added in single precision (the player
        // clamps at 1); the tick that finds the target reached ends the fade.
        const float stepSize = target * 0.05f / 8.0f;
        const QList<float> ramp = player->volumes.mid(2);
        QCOMPARE(ticks, ramp.size() + 1);
        QVERIFY2(ramp.size() >= 159 && ramp.size() <= 161,
                 qPrintable(QString::number(ramp.size())));
        float expected = 0.0f;
        for (float v : ramp) {
            expected += stepSize;
            QCOMPARE(v, std::min(expected, 1.0f));
        }
        QVERIFY(ramp.last() >= target);
        QVERIFY(ramp[ramp.size() - 2] < target);

        // The ended fade's timer stays, and is dead.
        QCOMPARE(radio.fadeTimer(), timer);
        QVERIFY(!timer->timer().isActive());
        const qsizetype setCount = player->volumes.size();
        step(timer);
        QCOMPARE(player->volumes.size(), setCount);
    }

    void silentPlayHasNoFade()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        radio.play(stationA, 0.0f);
        QVERIFY(!radio.fadeTimer());
        QCOMPARE(backend.last()->volumes, QList<float>({0.0f, 0.0f}));
        QVERIFY(radio.player());
    }

    void secondPlayMidFadeStartsAfresh()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, 1.0f);
        QPointer<FadeTimer> first = radio.fadeTimer();
        for (int i = 0; i < 10; ++i)
            step(first);
        // A tick already queued when the fade is replaced must not touch the new player.
        first->fire();

        playManually(radio, stationB, 0.5f);
        QCoreApplication::processEvents();
        QVERIFY(!first);            // replaced, and with it the old fade
        QCOMPARE(backend.alive, 1); // the old player is gone, not faded
        QVERIFY(!backend.created[0]);
        FakeMediaPlayer* second = backend.last();
        QCOMPARE(second->volumes, QList<float>({0.5f, 0.0f}));
        step(radio.fadeTimer());
        QCOMPARE(second->volumes.last(), 0.5f * 0.05f / 8.0f);
        QCOMPARE(radio.currentStation(), stationB);
    }

    void volumeChangeMidFadeKeepsStepping()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, 1.0f);
        for (int i = 0; i < 10; ++i)
            step(radio.fadeTimer());
        backend.last()->setVolume(0.5f); // what the volume hook does
        step(radio.fadeTimer());
        QCOMPARE(backend.last()->volumes.last(), 0.5f + 0.00625f);
        QVERIFY(radio.fadeTimer()->isValid());

        // Lowered below the current level: the fade still climbs to its target.
        backend.last()->setVolume(0.2f);
        step(radio.fadeTimer());
        QCOMPARE(backend.last()->volumes.last(), 0.2f + 0.00625f);
    }

    void unreachableTargetIsClamped_data()
    {
        QTest::addColumn<float>("stored");
        QTest::addColumn<float>("reached");
        QTest::newRow("above") << 2.0f << 1.0f;
        QTest::newRow("below") << -0.5f << 0.0f;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0f;
    }

    void unreachableTargetIsClamped()
    {
        // A stored volume out of range: the fade must still end, at the
        // level the player can take.
        QFETCH(float, stored);
        QFETCH(float, reached);
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, stored);
        if (radio.fadeTimer())
            QVERIFY(stepToEnd(radio.fadeTimer()) > 0);
        QCOMPARE(backend.last()->volume(), reached);
    }

    void fadeDown()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        FakeMediaPlayer player(QUrl("http://x/"));
        std::shared_ptr<FadeTimer> timer = radio.fadeVolume(player, 1.0f, 0.2f, 1.0);
        timer->timer().stop();
        QCOMPARE(player.volumes, QList<float>{1.0f});
        const int ticks = stepToEnd(timer.get());
        QCOMPARE(ticks, 21); // 20 steps of -0.04, then the tick that sees the target
        QVERIFY(player.volume() <= 0.2f);
        QVERIFY(player.volume() > 0.2f - 0.04f);

        QVERIFY(!radio.fadeVolume(player, 0.4f, 0.4f, 8.0));
        QCOMPARE(player.volume(), 0.4f);
    }

    void rateDropFailsInOrder()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, 1.0f);
        FadeTimer* timer = radio.fadeTimer();
        QStringList order;
        connect(&radio, &RadioPlayer::hasErrorChanged, this, [&] { order << "hasError"; });
        connect(&radio, &RadioPlayer::playerChanged, this, [&] { order << "player"; });
        connect(&radio, &RadioPlayer::currentStationChanged, this, [&] { order << "station"; });
        connect(&radio, &RadioPlayer::failed, this, [&](const RadioStation& s, bool heard) {
            order << "failed " + s.id + (heard ? " heard" : "");
        });

        backend.last()->reportRate(1.0f); // playing: nothing happens
        QVERIFY(order.isEmpty());
        QVERIFY(radio.player());

        backend.last()->reportRate(0.0f);
        QCOMPARE(order, QStringList({"hasError", "player", "station", "failed s1 heard"}));
        QVERIFY(radio.hasError());
        QVERIFY(!radio.player());
        QVERIFY(!radio.currentStation());
        QCOMPARE(radio.fadeTimer(), timer); // kept, but dead
        QVERIFY(!timer->isValid());
        flushDeletes();
        QCOMPARE(backend.alive, 0);

        // Playing again clears the error.
        radio.play(stationB, 0.5f);
        QVERIFY(!radio.hasError());
        QVERIFY(radio.player());
    }

    void playFromAFailureNotificationStands_data()
    {
        QTest::addColumn<int>("notification"); // 0 hasError, 1 player, 2 currentStation
        QTest::newRow("hasErrorChanged") << 0;
        QTest::newRow("playerChanged") << 1;
        QTest::newRow("currentStationChanged") << 2;
    }

    void playFromAFailureNotificationStands()
    {
        QFETCH(int, notification);
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, 1.0f);
        bool replayed = false;
        auto replay = [&] {
            if (radio.hasError() && !std::exchange(replayed, true))
                radio.play(stationB, 0.5f);
        };
        connect(&radio, &RadioPlayer::hasErrorChanged, this, [&] {
            if (notification == 0)
                replay();
        });
        connect(&radio, &RadioPlayer::playerChanged, this, [&] {
            if (notification == 1)
                replay();
        });
        connect(&radio, &RadioPlayer::currentStationChanged, this, [&] {
            if (notification == 2)
                replay();
        });

        QSignalSpy failed(&radio, &RadioPlayer::failed);
        backend.last()->reportRate(0.0f);
        QVERIFY(replayed);
        QCOMPARE(failed.count(), 0); // superseded by the new play
        QCOMPARE(radio.player(), backend.last());
        QCOMPARE(backend.last()->url, QUrl("https://127.0.0.1:8000/b.m3u"));
        QCOMPARE(radio.currentStation(), stationB);
        QVERIFY(!radio.hasError());
        QVERIFY(radio.fadeTimer() && radio.fadeTimer()->isValid());
        flushDeletes();
        QCOMPARE(backend.alive, 1);
    }

    void playFromPlayerChangedStands()
    {
        // A handler that plays another station as soon as the player changes
        // lets go of the player that play() is about to start.
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        bool replayed = false;
        connect(&radio, &RadioPlayer::playerChanged, this, [&] {
            if (!std::exchange(replayed, true))
                radio.play(stationB, 0.5f);
        });
        radio.play(stationA, 1.0f);
        QCOMPARE(backend.created.size(), 2);
        QCOMPARE(radio.player(), backend.last());
        QCOMPARE(backend.last()->playCalls, 1);
        QCOMPARE(radio.currentStation(), stationB);
        QCOMPARE(backend.alive, 1);
    }

    void secondWayThroughTuneService_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("ownAddress");
        QTest::addColumn<bool>("heard");     // the own address had played
        QTest::addColumn<bool>("tuneFails"); // the tune service's address fails too
        QTest::addColumn<int>("players");    // made in all
        QTest::addColumn<bool>("hasError");

        QTest::newRow("stale address") << "s24896" << true << false << false << 2 << false;
        QTest::newRow("tune service fails too") << "s24896" << true << false << true << 2 << true;
        QTest::newRow("played, then stopped") << "s24896" << true << true << false << 1 << true;
        QTest::newRow("word id") << "wdr2" << true << false << false << 1 << true;
        QTest::newRow("s without digits") << "s" << true << false << false << 1 << true;
        QTest::newRow("digits after other letters")
            << "x123" << true << false << false << 1 << true;
        QTest::newRow("tune service was the first way")
            << "s24896" << false << false << false << 1 << true;
    }

    void secondWayThroughTuneService()
    {
        QFETCH(QString, id);
        QFETCH(bool, ownAddress);
        QFETCH(bool, heard);
        QFETCH(bool, tuneFails);
        QFETCH(int, players);
        QFETCH(bool, hasError);
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        const RadioStation s = station(
            id, ownAddress ? std::optional<QString>("http://a.example/x.mp3") : std::nullopt);
        QSignalSpy failed(&radio, &RadioPlayer::failed);
        playManually(radio, s, 0.8f);
        backend.last()->decodedAudio = heard;
        backend.last()->reportRate(0.0f);
        if (tuneFails && backend.created.size() == 2) {
            QCOMPARE(radio.hasError(), false);
            backend.last()->decodedAudio = false;
            backend.last()->reportRate(0.0f);
        }

        QCOMPARE(backend.urls.size(), players);
        QCOMPARE(radio.hasError(), hasError);
        QCOMPARE(failed.count(), hasError ? 1 : 0);
        if (hasError) {
            QVERIFY(!radio.player());
            QVERIFY(!radio.currentStation());
            return;
        }
        // The same station, volume and fade, from the tune service.
        QCOMPARE(backend.urls.last(), QUrl("https://tune.example/Tune.ashx?id=" + id));
        QCOMPARE(radio.player(), backend.last());
        QCOMPARE(radio.currentStation(), s);
        QCOMPARE(backend.last()->playCalls, 1);
        QCOMPARE(backend.last()->volumes.value(0), 0.8f);
        QCOMPARE(backend.last()->volumes.value(1), 0.0f);
        QVERIFY(radio.fadeTimer() && radio.fadeTimer()->isValid());
        flushDeletes();
        QCOMPARE(backend.alive, 1);
    }

    void stopKeepsStationAndError()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, 1.0f);
        FadeTimer* timer = radio.fadeTimer();
        QSignalSpy playerSpy(&radio, &RadioPlayer::playerChanged);
        radio.stop();
        QVERIFY(!radio.player());
        QCOMPARE(backend.alive, 0);
        QVERIFY(!timer->isValid());
        QCOMPARE(radio.currentStation(), stationA);
        QVERIFY(!radio.hasError());
        QCOMPARE(playerSpy.size(), 1);

        // After a failure, stop leaves the error raised.
        radio.play(stationB, 1.0f);
        backend.last()->reportRate(0.0f);
        radio.stop();
        QVERIFY(radio.hasError());
        QVERIFY(!radio.currentStation());

        // Writing an unchanged value still notifies.
        radio.stop();
        QCOMPARE(playerSpy.size(), 5);
    }

    void unplayableStationChangesNothing()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        playManually(radio, stationA, 1.0f);
        FakeMediaPlayer* playing = backend.last();
        QSignalSpy playerSpy(&radio, &RadioPlayer::playerChanged);
        QSignalSpy stationSpy(&radio, &RadioPlayer::currentStationChanged);

        radio.play(station("s3", "file:///etc/passwd"), 1.0f);
        radio.play(station("s4", "http://exa mple/"), 1.0f);
        QCOMPARE(backend.urls.size(), 1);
        QCOMPARE(radio.player(), playing);
        QVERIFY(radio.fadeTimer()->isValid());
        QCOMPARE(playerSpy.size(), 0);
        QCOMPARE(stationSpy.size(), 0);
    }

    void failureWhileStartingStands_data()
    {
        QTest::addColumn<bool>("noBackend"); // else the backend fails inside play()
        QTest::newRow("no backend") << true;
        QTest::newRow("fails inside play") << false;
    }

    void failureWhileStartingStands()
    {
        QFETCH(bool, noBackend);
        Backend backend;
        bool failNext = false;
        auto factory = backend.factory();
        RadioPlayer radio(
            [&](const QUrl& url) {
                auto player = factory(url);
                if (player)
                    static_cast<FakeMediaPlayer*>(player.get())->failOnPlay = failNext;
                return player;
            },
            "tune.example");
        radio.play(stationA, 1.0f);
        if (noBackend)
            backend.available = false;
        else
            failNext = true;
        radio.play(stationB, 1.0f);
        QVERIFY(radio.hasError());
        QVERIFY(!radio.player());
        QVERIFY(!radio.currentStation());
        QVERIFY(!radio.fadeTimer() || !radio.fadeTimer()->isValid());
        flushDeletes();
        QCOMPARE(backend.alive, 0); // the previous stream does not play on
    }

    void cleanStreamTitle_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Artist - Song"
                               << "Artist - Song";
        QTest::newRow("controls") << "A\x01"
                                     "B\x7f\x1b[0m"
                                  << "AB[0m";
        QTest::newRow("white space") << "  Line\none\t\r\ntwo  "
                                     << "Line one two";
        QTest::newRow("direction overrides")
            << QString::fromUtf8("evil\u202Etxt.exe\u2066x\u2069") << "eviltxt.exex";
        QTest::newRow("markup stays text") << "<b>Bold</b> &amp;"
                                           << "<b>Bold</b> &amp;";
        QTest::newRow("only controls") << "\x02\x03"
                                       << "";
        QTest::newRow("at the cap") << QString(300, 'x') << QString(300, 'x');
        QTest::newRow("over the cap") << QString(10000, 'x') << QString(299, 'x') + QChar(0x2026);
        // A character outside the BMP is never cut in half.
        QTest::newRow("surrogate at the cut")
            << QString(298, 'x') + QString::fromUtf8("\U0001F3B5\U0001F3B5")
            << QString(298, 'x') + QChar(0x2026);
    }

    void cleanStreamTitle()
    {
        QFETCH(QString, received);
        QFETCH(QString, shown);
        QCOMPARE(RadioPlayer::cleanStreamTitle(received), shown);
    }

    // The title belongs to the player it came from.
    void streamTitleFollowsThePlayer()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        QSignalSpy changed(&radio, &RadioPlayer::streamTitleChanged);
        radio.play(stationA, 0.0f);
        FakeMediaPlayer* first = backend.last();
        emit first->streamTitleChanged(QStringLiteral("One\x01"));
        QCOMPARE(radio.streamTitle(), QStringLiteral("One"));

        radio.play(stationB, 0.0f);
        QCOMPARE(radio.streamTitle(), QString());
        emit backend.last()->streamTitleChanged(QStringLiteral("Two"));
        QCOMPARE(radio.streamTitle(), QStringLiteral("Two"));

        radio.stop();
        QCOMPARE(radio.streamTitle(), QString());
        radio.play(stationA, 0.0f);
        emit backend.last()->streamTitleChanged(QStringLiteral("Three"));
        backend.last()->reportRate(0.0f);
        QCOMPARE(radio.streamTitle(), QString());
        QVERIFY(changed.count() >= 6);
    }

    void currentStationFromQml()
    {
        Backend backend;
        RadioPlayer radio(backend.factory(), "tune.example");
        radio.play(stationA, 1.0f);
        QCOMPARE(radio.property("currentStation").value<RadioStation>(), stationA);
        QSignalSpy stationSpy(&radio, &RadioPlayer::currentStationChanged);
        QVERIFY(radio.setProperty("currentStation", QVariant()));
        QVERIFY(!radio.currentStation());
        QCOMPARE(stationSpy.size(), 1);
        QVERIFY(radio.property("player").value<MediaPlayer*>());
    }

    void destroyedMidFade()
    {
        Backend backend;
        {
            RadioPlayer radio(backend.factory(), "tune.example");
            playManually(radio, stationA, 1.0f);
            radio.fadeTimer()->fire(); // a tick is queued
        }
        QCoreApplication::processEvents();
        QCOMPARE(backend.alive, 0);
    }
};

QTEST_GUILESS_MAIN(TestRadioPlayer)
#include "tst_radioplayer.moc"
