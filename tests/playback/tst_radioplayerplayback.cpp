// RadioPlayer on the real mpv backend: the tune service over https, the fade
// as heard, and many quick station changes.
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "TestHttpServer.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/RadioPlayer.h"

#include <QTcpServer>
#include <QTest>

#include <cmath>

namespace {

RadioStation station(const QString& id, std::optional<QString> streamUrl)
{
    return RadioStation{id, "Station " + id, "", "Loopback", std::nullopt, "logo", streamUrl};
}

// A loopback port on which nothing listens.
quint16 closedPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

} // namespace

class TestRadioPlayerPlayback : public QObject {
    Q_OBJECT

    MediaFixtures m_media;
    TestHttpServer m_server;
    TestHttpServer m_tuneService;
    QString m_audioFile;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_media.make(), qPrintable(m_media.error()));
        QVERIFY(m_server.listen());
        m_media.serve(m_server);

        // The tune service answers over https, with a certificate made here.
        const QSslConfiguration tls = m_media.tlsConfiguration();
        QVERIFY2(!tls.localCertificate().isNull(), qPrintable(m_media.error()));
        m_tuneService.setSslConfiguration(tls);
        QVERIFY(m_tuneService.listen());
        m_tuneService.addFile("/Tune.ashx", m_server.url("/live.mp3").toEncoded() + "\n",
                              "audio/x-mpegurl");
    }

    void init()
    {
        m_audioFile = m_media.recordToNewFile();
        qputenv("SONDIK_TLS_CA_FILE", m_media.certificatePath().toLocal8Bit());
    }

    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000); }

    // The tune service as the station's only way, and as the second way for a
    // station's own address that gave no sound.
    void tuneService_data()
    {
        QTest::addColumn<QString>("own"); // a path on the test's server, or "none"
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("tuneService"); // "up", "down" or "untrusted"
        QTest::addColumn<bool>("plays");
        const auto row = [](const char* name, const QString& own, const QString& id,
                            const QString& tuneService, bool plays) {
            QTest::newRow(name) << own << id << tuneService << plays;
        };
        row("only way", "none", "s24896", "up", true);
        row("untrusted certificate", "none", "s1", "untrusted", false);
        row("own address 404", "/gone.mp3", "s24896", "up", true);
        row("played, then stopped", "/short.mp3", "s24896", "up", false);
        row("tune service fails too", "/gone.mp3", "s24896", "down", false);
    }

    void tuneService()
    {
        QFETCH(QString, own);
        QFETCH(QString, id);
        QFETCH(QString, tuneService);
        QFETCH(bool, plays);
        const quint16 refused = closedPort();
        QVERIFY(refused);
        if (tuneService == "untrusted")
            qunsetenv("SONDIK_TLS_CA_FILE");
        std::optional<QString> ownUrl = m_server.url(own).toString();
        if (own == "none")
            ownUrl.reset();
        const QString tuneHost = QStringLiteral("127.0.0.1:%1")
                                     .arg(tuneService == "down" ? refused : m_tuneService.port());
        RadioPlayer radio(defaultMediaPlayerFactory(), tuneHost);
        const int tuneRequests = m_tuneService.requestCount("/Tune.ashx");
        const RadioStation s = station(id, ownUrl);
        radio.play(s, 1.0f);

        if (plays) {
            QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 3.0, 20000));
            QVERIFY(radio.player());
            QVERIFY(!radio.hasError());
            QCOMPARE(radio.currentStation(), s);
            QCOMPARE(m_tuneService.requestCount("/Tune.ashx"), tuneRequests + 1);
            QCOMPARE(m_tuneService.requests().last().path, "/Tune.ashx?id=" + id.toUtf8());
            PcmRecording heard;
            QVERIFY(heard.read(m_audioFile));
            QVERIFY(heard.toneShare(MediaFixtures::toneHz, 2.0, 1.0) > 0.9);
            radio.stop();
            return;
        }
        // The error is raised once nothing more is to be tried.
        QTRY_VERIFY_WITH_TIMEOUT(radio.hasError(), 20000);
        QVERIFY(!radio.player());
        QCOMPARE(radio.currentStation(), std::nullopt);
        QCOMPARE(m_tuneService.requestCount("/Tune.ashx"), tuneRequests);
        // Only a stream that played was heard.
        QCOMPARE(PcmRecording::framesIn(m_audioFile) > 0, own == "/short.mp3");
    }

    void fadeRisesLinearly()
    {
        PcmRecording reference; // the tone as decoded at full volume
        QVERIFY(reference.read(m_media.referenceWav()));
        const double target = reference.rms(1.0, 2.0);
        QVERIFY(target > 0.01);
        RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
        radio.play(station("paced", m_server.url("/paced.mp3").toString()), 1.0f);
        QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 11.0, 20000));
        QVERIFY(radio.player());
        radio.stop();

        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        const double end = heard.rms(heard.seconds() - 1.5, 1.0);
        QVERIFY2(std::abs(end / target - 1.0) < 0.05, qPrintable(QString::number(end / target)));

        // When the level passes shares of its target. The first samples come
        // out at once after the stream has been probed, at the level of that
        // moment; from then on they follow the clock.
        const double window = 0.1;
        auto crossing = [&](double share) {
            for (double t = 0.0; t + window <= heard.seconds(); t += window / 2) {
                if (heard.rms(t, window) >= share * target)
                    return t + window / 2;
            }
            return -1.0;
        };
        const double half = crossing(0.5), more = crossing(0.7), most = crossing(0.9);
        const QString times = QStringLiteral("%1 %2 %3").arg(half).arg(more).arg(most);
        QVERIFY2(half > 0.0 && more > half && most > more, qPrintable(times));
        // Linear in amplitude over 8 s: 40 % of the rise takes 3.2 s, evenly.
        QVERIFY2(std::abs((most - half) - 3.2) < 0.5, qPrintable(times));
        QVERIFY2(std::abs((more - half) - (most - more)) < 0.4, qPrintable(times));
    }

    void rapidStationChanges()
    {
        qputenv("SONDIK_AUDIO_OUTPUT", "null");
        RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
        const QList<RadioStation> stations = {
            station("mp3", m_server.url("/live.mp3").toString()),
            station("aac", m_server.url("/live.aac").toString()),
            station("m3u", m_server.url("/list.m3u").toString()),
            station("gone", m_server.url("/gone.mp3").toString()),
        };
        for (int i = 0; i < 300; ++i) {
            radio.play(stations[i % 4], 0.8f);
            radio.stop();
            radio.play(stations[(i + 1) % 4], 0.8f);
            QCoreApplication::processEvents();
        }
        // The last one plays on, alone.
        QCOMPARE(radio.currentStation(), stations[300 % 4]);
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(radio.player() && radio.player()->hasDecodedAudio(), 20000);
        QCOMPARE(radio.player()->rate(), 1.0f);
        QVERIFY(!radio.hasError());
        radio.stop();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, 10000);
    }
};

QTEST_MAIN(TestRadioPlayerPlayback)
#include "tst_radioplayerplayback.moc"
