#include "FakeMediaPlayer.h"
#include "playback/FadeTimer.h"
#include "playback/RadioPlayer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

RadioStation station(const QString& id,
                     std::optional<QString> url = QStringLiteral("http://127.0.0.1:8000/a.mp3"))
{
    return RadioStation{id, "Name " + id, "Subtitle", "City", 99.9, "logo", std::move(url)};
}

const RadioStation stationA = station("s1");
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
    // Ended in failure: the error raised, nothing playing, no station, no fade.
    bool failed()
    {
        flushDeletes();
        return radio.hasError() && !radio.player() && !radio.currentStation() && alive == 0 &&
               (!radio.fadeTimer() || !radio.fadeTimer()->isValid());
    }
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

} // namespace

class TestRadioPlayer : public QObject {
    Q_OBJECT

private slots:
    void streamUrl_data()
    {
        QTest::addColumn<QString>("stored"); // null: tune service
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expected"); // empty: cannot play
        QTest::addColumn<bool>("secondWay");   // a silent own address is tried at the tune service
        const auto row = [](const char* name, const QString& stored, const QString& id,
                            const QString& expected, bool secondWay = false) {
            QTest::newRow(name) << stored << id << expected << secondWay;
        };
        row("own address", "https://a.example/x.mp3?ref=web", "s1",
            "https://a.example/x.mp3?ref=web", true);
        row("tune service", {}, "s38989", "https://tune.example/Tune.ashx?id=s38989", true);
        row("no scheme is http", "listen.technobase.fm/tunein-dsl-pls", "s1",
            "http://listen.technobase.fm/tunein-dsl-pls", true);
        row("empty", "", "s1", "", true);
        row("local file", "file:///etc/passwd", "s1", "", true);
        row("absolute path", "/etc/passwd", "s1", "", true);
        row("tune id that is no URL", {}, "s 1", "");
        row("s without digits", "http://a.example/", "s", "http://a.example/");
    }

    void streamUrl()
    {
        QFETCH(QString, stored);
        QFETCH(QString, id);
        QFETCH(QString, expected);
        QFETCH(bool, secondWay);
        const RadioStation s =
            station(id, stored.isNull() ? std::nullopt : std::optional<QString>(stored));
        QCOMPARE(RadioPlayer::streamUrl(s, "tune.example").toString(), expected);
        QCOMPARE(RadioPlayer::isTuneServiceId(id), secondWay);
    }

    void fadesInToTheReachableLevel_data()
    {
        QTest::addColumn<float>("stored");
        QTest::addColumn<float>("target"); // 0: no fade
        QTest::newRow("0.3") << 0.3f << 0.3f;
        QTest::newRow("above range: full") << 2.0f << 1.0f;
        QTest::newRow("silent") << 0.0f << 0.0f;
        QTest::newRow("below range") << -0.5f << 0.0f;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0f;
    }

    void fadesInToTheReachableLevel()
    {
        QFETCH(float, stored);
        QFETCH(float, target);
        Rig rig;
        rig.play(stationA, stored);
        FakeMediaPlayer* player = rig.last();
        // The stored volume first, then the fade starts from silence.
        QCOMPARE(player->volumes, QList<float>({target, 0.0f}));
        if (target == 0.0f) {
            QVERIFY(!rig.radio.fadeTimer());
            return;
        }
        // 8 s of 50 ms ticks, each adding the same step; the tick that finds
        // the target reached ends the fade.
        FadeTimer* timer = rig.radio.fadeTimer();
        for (int tick = 0; tick < 170 && timer->isValid(); ++tick)
            step(timer);
        QVERIFY2(!timer->isValid(), "the fade never ends");
        const QList<float> ramp = player->volumes.mid(2);
        QVERIFY2(ramp.size() >= 159 && ramp.size() <= 161,
                 qPrintable(QString::number(ramp.size())));
        float expected = 0.0f;
        for (float v : ramp)
            QCOMPARE(v, std::min(expected += target * 0.05f / 8.0f, 1.0f));
        QVERIFY(ramp.last() >= target && ramp[ramp.size() - 2] < target);
        QVERIFY(!timer->timer().isActive());
        step(timer);
        QCOMPARE(player->volumes.size(), ramp.size() + 2);
    }

    // A volume chosen during the fade-in is the volume from then on.
    void aVolumeChoiceEndsTheFade()
    {
        Rig rig;
        rig.play(stationA, 0.8f);
        FadeTimer* timer = rig.radio.fadeTimer();
        for (int tick = 0; tick < 20; ++tick)
            step(timer);
        rig.radio.setVolume(0.1f);
        step(timer);
        QVERIFY(!timer->isValid());
        QCOMPARE(rig.last()->volumes.last(), 0.1f);
    }

    // A tick held up by a busy main thread takes the steps that fell due
    // meanwhile, so the fade keeps to its length; catching up ends on the target.
    void lateTicksCatchUp()
    {
        FakeMediaPlayer player(QUrl(QStringLiteral("http://127.0.0.1/")));
        const auto timer = FadeTimer::start(player, 0.0f, 0.5f, 0.4f, 0.05f); // 8 steps of 0.0625
        timer->timer().stop();
        QTest::qSleep(200);
        step(timer.get());
        QVERIFY2(player.volumes.last() >= 4 * 0.0625f,
                 qPrintable(QString::number(player.volumes.last())));
        QTest::qSleep(400);
        step(timer.get());
        QCOMPARE(player.volumes.last(), 0.5f);
        step(timer.get());
        QVERIFY(!timer->isValid());
    }

    // A stream that ends is told as a failure, or tried once more at the tune service.
    void failures_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("ownAddress");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* name, const char* id, bool own, const char* how,
                            const char* outcome) {
            QTest::newRow(name) << id << own << how << outcome;
        };
        row("stopped after playing", "s1", true, "heard", "failed heard");
        row("stale address, tune service next", "s24896", true, "silent", "tune service");
        row("silent from the tune service", "s24896", false, "silent", "failed");
        row("silent, no tune service id", "x123", true, "silent", "failed");
        row("no backend", "s2", true, "no backend", "failed");
        row("fails inside play", "s2", true, "inside play", "failed heard");
    }

    void failures()
    {
        QFETCH(QString, id);
        QFETCH(bool, ownAddress);
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        Rig rig;
        const RadioStation s = station(id, ownAddress ? stationA.streamUrl : std::nullopt);
        const bool whileStarting = how == "no backend" || how == "inside play";
        rig.play(whileStarting ? stationA : s, 0.8f);
        QSignalSpy errors(&rig.radio, &RadioPlayer::hasErrorChanged);
        QString told = "tune service";
        connect(&rig.radio, &RadioPlayer::failed, this, [&](const RadioStation& f, bool decoded) {
            QCOMPARE(f, s);
            told = decoded ? "failed heard" : "failed";
        });
        if (whileStarting) {
            rig.available = how != "no backend";
            rig.failOnPlay = how == "inside play";
            rig.play(s, 0.8f);
        } else {
            rig.last()->decodedAudio = how == "heard";
            rig.last()->reportRate(0.0f);
        }

        QCOMPARE(told, outcome);
        if (outcome != "tune service") {
            QVERIFY(!errors.isEmpty());
            QVERIFY(rig.failed()); // and the previous stream does not play on
            return;
        }
        // The same station, volume and fade, from the tune service.
        QCOMPARE(rig.urls.last(), QUrl("https://tune.example/Tune.ashx?id=" + id));
        QCOMPARE(rig.last()->volumes, QList<float>({0.8f, 0.0f}));
        QVERIFY(rig.playsAlone(s));
    }

    void stopKeepsStationAndError()
    {
        Rig rig;
        rig.play(stationA, 1.0f);
        rig.radio.stop();
        QCOMPARE(rig.alive, 0);
        QCOMPARE(rig.radio.currentStation(), stationA);
        QVERIFY(!rig.radio.hasError());

        // An unplayable station changes nothing.
        rig.play(stationB, 1.0f);
        rig.radio.play(station("s3", "file:///etc/passwd"), 1.0f);
        QVERIFY(rig.playsAlone(stationB));

        // After a failure, stop leaves the error raised; playing again clears it.
        rig.last()->reportRate(0.0f);
        rig.radio.stop();
        QVERIFY(rig.failed());
        rig.play(stationA, 1.0f);
        QVERIFY(rig.playsAlone(stationA));
    }

    void cleanStreamTitle_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const QString& received, const QString& shown) {
            QTest::newRow(name) << received << shown;
        };
        row("controls", QString::fromUtf16(u"A\u0001B\u007f\u001b[0m"), "AB[0m");
        row("white space", "  Line\none\t\r\ntwo  ", "Line one two");
        row("direction overrides", QString::fromUtf8("evil\u202Etxt.exe\u2066x\u2069"),
            "eviltxt.exex");
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
        rig.radio.play(stationA, 0.0f);
        emit rig.last()->streamTitleChanged(QStringLiteral("One\x01"));
        QCOMPARE(rig.radio.streamTitle(), QStringLiteral("One"));
        rig.radio.play(stationB, 0.0f);
        QCOMPARE(rig.radio.streamTitle(), QString());
        emit rig.last()->streamTitleChanged(QStringLiteral("Two"));
        rig.radio.stop();
        QCOMPARE(rig.radio.streamTitle(), QString());
        rig.radio.play(stationA, 0.0f);
        emit rig.last()->streamTitleChanged(QStringLiteral("Three"));
        rig.last()->reportRate(0.0f);
        QCOMPARE(rig.radio.streamTitle(), QString());
    }
};

QTEST_GUILESS_MAIN(TestRadioPlayer)
#include "tst_radioplayer.moc"
