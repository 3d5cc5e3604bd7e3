// The volume and a stop are heard at once, whatever the audio output buffers:
// real libmpv playing the tests' tone from loopback into a sound server of the
// test's own, heard through the sink's monitor.
#include "MediaFixtures.h"
#include "PrivateSoundServer.h"
#include "SinkMonitor.h"
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"

#include <QStandardPaths>
#include <QTest>

#include <algorithm>

using namespace std::chrono_literals;
using Clock = SinkMonitor::Clock;

namespace {

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Heard: above about -54 dBFS.
constexpr double audible = 0.002;
// The bound for hearing a change or a stop, in ms. The output buffers a second
// of sound, so a level applied before that buffer (mpv's own volume) is heard
// some 1000 ms late, while the sound server's stream volume takes 10 to 50 ms
// here. The median of six changes against 100 ms keeps that margin on a busy
// machine; the stamps of the recording run late by about 10 ms, never early.
constexpr double boundMs = 100.0;

} // namespace

class TestVolumeLatency : public QObject {
    Q_OBJECT

    MediaFixtures m_media;
    TestHttpServer m_server;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_media.make(), qPrintable(m_media.error()));
        QVERIFY(m_server.listen());
        m_media.serve(m_server);
        // The system's own choice of output, as the program makes it.
        qunsetenv("SONDIK_AUDIO_OUTPUT");
        qunsetenv("SONDIK_AUDIO_FILE");
    }

    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000); }

    void heardAtOnce_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("PulseAudio") << int(PrivateSoundServer::PulseAudio);
        QTest::newRow("PipeWire") << int(PrivateSoundServer::PipeWire);
    }

    void heardAtOnce()
    {
        QFETCH(int, kind);
        for (const char* program : {"pulseaudio", "pipewire", "wireplumber", "parec"}) {
            if (QStandardPaths::findExecutable(program).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(program)));
        }
        PrivateSoundServer server;
        QVERIFY2(server.start(PrivateSoundServer::Kind(kind)), qPrintable(server.error()));
        server.applyToThisProcess();
        const QByteArray sinkVolume = server.pactl({"get-sink-volume", PrivateSoundServer::sink});
        QVERIFY(!sinkVolume.isEmpty());
        SinkMonitor monitor;
        QVERIFY(monitor.start(server.environment(), PrivateSoundServer::sink));

        const double full = MediaFixtures::toneRms;
        const float low = 0.25f;
        auto player = defaultMediaPlayerFactory()(m_server.url("/live.mp3"));
        QVERIFY(player);
        const Clock::time_point started = Clock::now();
        player->setVolume(low);
        player->play();
        const auto sound = monitor.waitForLevelAbove(audible, started, 20s);
        QVERIFY2(sound, "nothing heard within 20 s");
        // Past the output's buffer: what was queued before the stream's
        // volume was set has been heard too.
        monitor.listen(2500ms);
        // Never louder than asked, from the first sample on.
        const double loudest = monitor.level(*sound, Clock::now()).second;
        QVERIFY2(loudest < 1.2 * low * full, qPrintable(QString::number(loudest / full)));

        std::vector<double> latencies;
        QString heard;
        float level = low;
        for (int i = 0; i < 6; ++i) {
            const float next = level == low ? 1.0f : low;
            const Clock::time_point called = Clock::now();
            player->setVolume(next);
            monitor.listen(800ms);
            const auto changed = monitor.crossing(called, full * (level + next) / 2, next > level);
            QVERIFY2(changed, qPrintable(QStringLiteral("volume %1 not heard").arg(next)));
            latencies.push_back(msBetween(called, *changed));
            // Linear in amplitude: the level heard is the gain asked for.
            const Clock::time_point now = Clock::now();
            const double steady = monitor.level(now - 300ms, now).first / full;
            heard += QStringLiteral(" %1 ms (%2 at %3)")
                         .arg(latencies.back(), 0, 'f', 0)
                         .arg(steady, 0, 'f', 3)
                         .arg(next);
            QVERIFY2(std::abs(steady / next - 1.0) < 0.15, qPrintable(heard));
            level = next;
        }
        std::sort(latencies.begin(), latencies.end());
        const double median = (latencies[2] + latencies[3]) / 2;
        QVERIFY2(median <= boundMs, qPrintable("volume heard after:" + heard));

        const Clock::time_point stopped = Clock::now();
        player.reset();
        monitor.listen(1000ms);
        const double tail = msBetween(stopped, monitor.lastAbove(stopped, audible));
        QVERIFY2(
            tail <= boundMs,
            qPrintable(QStringLiteral("still heard %1 ms after the stop").arg(tail, 0, 'f', 0)));
        // The stream's volume only: the sink's stays as the user set it.
        QCOMPARE(server.pactl({"get-sink-volume", PrivateSoundServer::sink}), sinkVolume);
        qInfo("%s: volume heard after%s; silent %.0f ms after the stop", QTest::currentDataTag(),
              qPrintable(heard), tail);
    }
};

QTEST_MAIN(TestVolumeLatency)
#include "tst_volumelatency.moc"
