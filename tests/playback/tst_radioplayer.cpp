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

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A RadioPlayer on fake players, whose fades the test steps by hand.
struct Rig {
    int alive = 0;
    QList<QPointer<FakeMediaPlayer>> created;
    QList<QUrl> urls;
    bool available = true;
    bool failOnPlay = false;
    RadioPlayer radio{[this](const QUrl& url) -> std::unique_ptr<MediaPlayer> {
                          urls.append(url);
                          if (!available)
                              return nullptr;
                          auto player = std::make_unique<FakeMediaPlayer>(url, &alive);
                          player->failOnPlay = failOnPlay;
                          created.append(player.get());
                          return player;
                      },
                      "tune.example"};

    FakeMediaPlayer* last() const { return created.last(); }
    // Ended in failure: the error raised, nothing playing, no station.
    bool failed() const { return radio.hasError() && !radio.player() && !radio.currentStation(); }
    // `s` plays on the newest player alone, fading in, with no error.
    bool playsAlone(const RadioStation& s)
    {
        flushDeletes();
        return radio.player() == last() && last()->playCalls == 1 && radio.currentStation() == s &&
               !radio.hasError() && radio.fadeTimer() && radio.fadeTimer()->isValid() && alive == 1;
    }
    void play(const RadioStation& s, float volume)
    {
        radio.play(s, volume);
        if (radio.fadeTimer())
            radio.fadeTimer()->timer().stop();
    }
};

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

using Notification = void (RadioPlayer::*)();
const Notification notifications[] = {&RadioPlayer::hasErrorChanged, &RadioPlayer::playerChanged,
                                      &RadioPlayer::currentStationChanged};

} // namespace

class TestRadioPlayer : public QObject {
    Q_OBJECT

private slots:
    void streamUrl_data()
    {
        QTest::addColumn<QString>("stored"); // null: tune service
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expected"); // empty: cannot play
        const auto row = [](const char* name, const QString& stored, const QString& id,
                            const QString& expected) {
            QTest::newRow(name) << stored << id << expected;
        };
        row("own address", "http://a.example/live.mp3", "s1", "http://a.example/live.mp3");
        row("query kept", "https://a.example/x.mp3?ref=web", "s1",
            "https://a.example/x.mp3?ref=web");
        row("tune service", {}, "s38989", "https://tune.example/Tune.ashx?id=s38989");
        row("no scheme is http", "listen.technobase.fm/tunein-dsl-pls", "s1",
            "http://listen.technobase.fm/tunein-dsl-pls");
        row("empty", "", "s1", "");
        row("blank inside", "http://exa mple.com/x", "s1", "");
        row("broken IPv6 host", "http://[::1/x", "s1", "");
        row("local file", "file:///etc/passwd", "s1", "");
        row("absolute path", "/etc/passwd", "s1", "");
        row("other protocol", "ftp://a.example/x.mp3", "s1", "");
        row("tune id that is no URL", {}, "s 1", "");
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

    void fadesInToTheReachableLevel_data()
    {
        QTest::addColumn<float>("stored");
        QTest::addColumn<float>("target"); // 0: no fade
        QTest::newRow("full") << 1.0f << 1.0f;
        QTest::newRow("0.3") << 0.3f << 0.3f;
        QTest::newRow("tiny") << 0.01f << 0.01f;
        QTest::newRow("above range") << 2.0f << 1.0f;
        QTest::newRow("silent") << 0.0f << 0.0f;
        QTest::newRow("below range") << -0.5f << 0.0f;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0f;
    }

    void fadesInToTheReachableLevel()
    {
        QFETCH(float, stored);
        QFETCH(float, target);
        Rig rig;
        QList<int> notified(3);
        for (int i = 0; i < 3; ++i)
            connect(&rig.radio, notifications[i], this, [&notified, i] { ++notified[i]; });
        rig.play(stationA, stored);
        QCOMPARE(rig.urls, QList<QUrl>{QUrl("http://127.0.0.1:8000/a.mp3")});
        FakeMediaPlayer* player = rig.last();
        QCOMPARE(notified, QList<int>({1, 1, 1}));
        QCOMPARE(rig.radio.player(), player);
        QCOMPARE(player->playCalls, 1);
        QCOMPARE(rig.radio.currentStation(), stationA);
        QVERIFY(!rig.radio.hasError());
        // The stored volume first, then the fade starts from silence.
        QCOMPARE(player->volumes.mid(0, 2), QList<float>({target, 0.0f}));
        if (target == 0.0f) {
            QVERIFY(!rig.radio.fadeTimer());
            return;
        }

        FadeTimer* timer = rig.radio.fadeTimer();
        const int ticks = stepToEnd(timer);
        // 160 steps of target/160, added in single precision (the player
        // clamps at 1); the tick that finds the target reached ends the fade.
        const float stepSize = target * 0.05f / 8.0f;
        const QList<float> ramp = player->volumes.mid(2);
        QCOMPARE(ticks, ramp.size() + 1);
        QVERIFY2(ramp.size() >= 159 && ramp.size() <= 161, qPrintable(QString::number(ticks)));
        float expected = 0.0f;
        for (float v : ramp) {
            expected += stepSize;
            QCOMPARE(v, std::min(expected, 1.0f));
        }
        QVERIFY(ramp.last() >= target && ramp[ramp.size() - 2] < target);
        // The ended fade's timer stays, and is dead.
        QCOMPARE(rig.radio.fadeTimer(), timer);
        QVERIFY(!timer->timer().isActive());
        step(timer);
        QCOMPARE(player->volumes.size(), ramp.size() + 2);
    }

    void midFade()
    {
        Rig rig;
        rig.play(stationA, 1.0f);
        QPointer<FadeTimer> first = rig.radio.fadeTimer();
        for (int i = 0; i < 10; ++i)
            step(first);
        // What the volume hook does; lowered below the current level, the fade
        // still climbs from there.
        for (float set : {0.5f, 0.2f}) {
            rig.last()->setVolume(set);
            step(first);
            QCOMPARE(rig.last()->volumes.last(), set + 0.00625f);
            QVERIFY(first->isValid());
        }

        // Another station starts afresh; a tick already queued when the fade
        // is replaced must not touch the new player.
        first->fire();
        rig.play(stationB, 0.5f);
        QCoreApplication::processEvents();
        QVERIFY(!first);        // replaced, and with it the old fade
        QCOMPARE(rig.alive, 1); // the old player is gone, not faded
        QCOMPARE(rig.last()->volumes, QList<float>({0.5f, 0.0f}));
        step(rig.radio.fadeTimer());
        QCOMPARE(rig.last()->volumes.last(), 0.5f * 0.05f / 8.0f);
        QCOMPARE(rig.radio.currentStation(), stationB);
    }

    void rateDropFailsInOrder()
    {
        Rig rig;
        rig.play(stationA, 1.0f);
        FadeTimer* timer = rig.radio.fadeTimer();
        QStringList order;
        connect(&rig.radio, &RadioPlayer::hasErrorChanged, this, [&] { order << "hasError"; });
        connect(&rig.radio, &RadioPlayer::playerChanged, this, [&] { order << "player"; });
        connect(&rig.radio, &RadioPlayer::currentStationChanged, this, [&] { order << "station"; });
        connect(&rig.radio, &RadioPlayer::failed, this, [&](const RadioStation& s, bool heard) {
            order << "failed " + s.id + (heard ? " heard" : "");
        });

        rig.last()->reportRate(1.0f); // playing: nothing happens
        QVERIFY(order.isEmpty());
        rig.last()->reportRate(0.0f);
        QCOMPARE(order, QStringList({"hasError", "player", "station", "failed s1 heard"}));
        QVERIFY(rig.failed());
        QCOMPARE(rig.radio.fadeTimer(), timer); // kept, but dead
        QVERIFY(!timer->isValid());
        flushDeletes();
        QCOMPARE(rig.alive, 0);

        // Playing again clears the error.
        rig.radio.play(stationB, 0.5f);
        QVERIFY(!rig.radio.hasError());
        QVERIFY(rig.radio.player());
    }

    // A handler that plays another station from a notification is not undone
    // by what the player does after it.
    void playFromANotificationStands_data()
    {
        QTest::addColumn<int>("notification");
        QTest::addColumn<bool>("onFailure"); // else while play() starts the first station
        QTest::newRow("hasErrorChanged on failure") << 0 << true;
        QTest::newRow("playerChanged on failure") << 1 << true;
        QTest::newRow("currentStationChanged on failure") << 2 << true;
        QTest::newRow("playerChanged on play") << 1 << false;
    }

    void playFromANotificationStands()
    {
        QFETCH(int, notification);
        QFETCH(bool, onFailure);
        Rig rig;
        if (onFailure)
            rig.play(stationA, 1.0f);
        bool replayed = false;
        connect(&rig.radio, notifications[notification], this, [&] {
            if (!std::exchange(replayed, true))
                rig.radio.play(stationB, 0.5f);
        });
        QSignalSpy failed(&rig.radio, &RadioPlayer::failed);
        if (onFailure)
            rig.last()->reportRate(0.0f);
        else
            rig.radio.play(stationA, 1.0f);

        QVERIFY(replayed);
        QCOMPARE(failed.count(), 0); // superseded by the new play
        QCOMPARE(rig.created.size(), 2);
        QCOMPARE(rig.last()->url, QUrl("https://127.0.0.1:8000/b.m3u"));
        QVERIFY(rig.playsAlone(stationB));
    }

    // Other cases (played before, tune service down, word ids) are played
    // for real in tst_radioplayerplayback.
    void secondWayThroughTuneService_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("ownAddress");
        QTest::addColumn<bool>("tried"); // the tune service is tried
        QTest::newRow("stale address") << "s24896" << true << true;
        QTest::newRow("s without digits") << "s" << true << false;
        QTest::newRow("digits after other letters") << "x123" << true << false;
        QTest::newRow("tune service was the first way") << "s24896" << false << false;
    }

    void secondWayThroughTuneService()
    {
        QFETCH(QString, id);
        QFETCH(bool, ownAddress);
        QFETCH(bool, tried);
        Rig rig;
        const RadioStation s = station(
            id, ownAddress ? std::optional<QString>("http://a.example/x.mp3") : std::nullopt);
        QSignalSpy failed(&rig.radio, &RadioPlayer::failed);
        rig.play(s, 0.8f);
        rig.last()->decodedAudio = false;
        rig.last()->reportRate(0.0f);

        QCOMPARE(rig.urls.size(), tried ? 2 : 1);
        QCOMPARE(failed.count(), tried ? 0 : 1);
        QCOMPARE(rig.failed(), !tried);
        if (!tried)
            return;
        // The same station, volume and fade, from the tune service.
        QCOMPARE(rig.urls.last(), QUrl("https://tune.example/Tune.ashx?id=" + id));
        QCOMPARE(rig.last()->volumes.mid(0, 2), QList<float>({0.8f, 0.0f}));
        QVERIFY(rig.playsAlone(s));
    }

    void stopKeepsStationAndError()
    {
        Rig rig;
        rig.play(stationA, 1.0f);
        FadeTimer* timer = rig.radio.fadeTimer();
        QSignalSpy playerSpy(&rig.radio, &RadioPlayer::playerChanged);
        rig.radio.stop();
        QVERIFY(!rig.radio.player());
        QCOMPARE(rig.alive, 0);
        QVERIFY(!timer->isValid());
        QCOMPARE(rig.radio.currentStation(), stationA);
        QVERIFY(!rig.radio.hasError());
        QCOMPARE(playerSpy.size(), 1);

        // After a failure, stop leaves the error raised.
        rig.radio.play(stationB, 1.0f);
        rig.last()->reportRate(0.0f);
        rig.radio.stop();
        QVERIFY(rig.failed());

        // Writing an unchanged value still notifies.
        rig.radio.stop();
        QCOMPARE(playerSpy.size(), 5);
    }

    void unplayableStationChangesNothing()
    {
        Rig rig;
        rig.play(stationA, 1.0f);
        QSignalSpy playerSpy(&rig.radio, &RadioPlayer::playerChanged);
        QSignalSpy stationSpy(&rig.radio, &RadioPlayer::currentStationChanged);
        rig.radio.play(station("s3", "file:///etc/passwd"), 1.0f);
        rig.radio.play(station("s4", "http://exa mple/"), 1.0f);
        QCOMPARE(rig.urls.size(), 1);
        QCOMPARE(rig.radio.player(), rig.last());
        QVERIFY(rig.radio.fadeTimer()->isValid());
        QCOMPARE(playerSpy.size() + stationSpy.size(), 0);
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
        Rig rig;
        rig.radio.play(stationA, 1.0f);
        rig.available = !noBackend;
        rig.failOnPlay = !noBackend;
        rig.radio.play(stationB, 1.0f);
        QVERIFY(rig.failed());
        QVERIFY(!rig.radio.fadeTimer() || !rig.radio.fadeTimer()->isValid());
        flushDeletes();
        QCOMPARE(rig.alive, 0); // the previous stream does not play on
    }

    void cleanStreamTitle_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const QString& received, const QString& shown) {
            QTest::newRow(name) << received << shown;
        };
        row("plain", "Artist - Song", "Artist - Song");
        row("controls",
            "A\x01"
            "B\x7f\x1b[0m",
            "AB[0m");
        row("white space", "  Line\none\t\r\ntwo  ", "Line one two");
        row("direction overrides", QString::fromUtf8("evil\u202Etxt.exe\u2066x\u2069"),
            "eviltxt.exex");
        row("markup stays text", "<b>Bold</b> &amp;", "<b>Bold</b> &amp;");
        row("only controls", "\x02\x03", "");
        row("at the cap", QString(300, 'x'), QString(300, 'x'));
        row("over the cap", QString(10000, 'x'), QString(299, 'x') + QChar(0x2026));
        // A character outside the BMP is never cut in half.
        row("surrogate at the cut", QString(298, 'x') + QString::fromUtf8("\U0001F3B5\U0001F3B5"),
            QString(298, 'x') + QChar(0x2026));
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
        Rig rig;
        QSignalSpy changed(&rig.radio, &RadioPlayer::streamTitleChanged);
        rig.radio.play(stationA, 0.0f);
        emit rig.last()->streamTitleChanged(QStringLiteral("One\x01"));
        QCOMPARE(rig.radio.streamTitle(), QStringLiteral("One"));

        rig.radio.play(stationB, 0.0f);
        QCOMPARE(rig.radio.streamTitle(), QString());
        emit rig.last()->streamTitleChanged(QStringLiteral("Two"));
        QCOMPARE(rig.radio.streamTitle(), QStringLiteral("Two"));

        rig.radio.stop();
        QCOMPARE(rig.radio.streamTitle(), QString());
        rig.radio.play(stationA, 0.0f);
        emit rig.last()->streamTitleChanged(QStringLiteral("Three"));
        rig.last()->reportRate(0.0f);
        QCOMPARE(rig.radio.streamTitle(), QString());
        QVERIFY(changed.count() >= 6);
    }

    void destroyedMidFade()
    {
        auto rig = std::make_unique<Rig>();
        rig->play(stationA, 1.0f);
        const QPointer<FakeMediaPlayer> player = rig->last();
        rig->radio.fadeTimer()->fire(); // a tick is queued
        rig.reset();
        QCoreApplication::processEvents();
        QVERIFY(!player);
    }
};

QTEST_GUILESS_MAIN(TestRadioPlayer)
#include "tst_radioplayer.moc"
