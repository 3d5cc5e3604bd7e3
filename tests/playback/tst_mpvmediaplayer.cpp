// Real playback through the mpv backend from a server on loopback, heard
// through mpv's pcm audio output.
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "TestHttpServer.h"
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <cmath>
#include <limits>

namespace {

std::unique_ptr<MediaPlayer> create(const QUrl& url)
{
    return defaultMediaPlayerFactory()(url);
}

} // namespace

class TestMpvMediaPlayer : public QObject {
    Q_OBJECT

    MediaFixtures m_media;
    TestHttpServer m_server;
    QString m_audioFile;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_media.make(), qPrintable(m_media.error()));
        QVERIFY(m_server.listen());
        m_media.serve(m_server);
        m_server.add("/moved", {.status = 302, .location = m_server.url("/live.mp3").toEncoded()});
        m_server.add("/missing.mp3", {.status = 404,
                                      .body = "<html><body>Not found</body></html>",
                                      .contentType = "text/html"});
        m_server.addFile("/page.html",
                         "<!DOCTYPE html><html><head><title>Radio</title></head><body>"
                         "<p>Listen live!</p></body></html>",
                         "text/html");
        QByteArray garbage(64 * 1024, Qt::Uninitialized);
        QRandomGenerator(12345).fillRange(reinterpret_cast<quint32*>(garbage.data()),
                                          garbage.size() / 4);
        m_server.addFile("/garbage.mp3", garbage, "audio/mpeg");
        m_server.add("/cut.mp3", {.kind = TestHttpServer::Route::Stream,
                                  .body = m_media.mp3(),
                                  .contentType = "audio/mpeg",
                                  .bytesPerSecond = MediaFixtures::mp3BitRate / 8,
                                  .limit = MediaFixtures::mp3BitRate / 4});
        m_server.add("/silent.mp3", {.kind = TestHttpServer::Route::Silent});
        m_server.addFile("/empty.m3u", "", "audio/x-mpegurl");
        m_server.addFile("/comments.m3u", "#EXTM3U\n# nothing here\n", "audio/x-mpegurl");
        m_server.addFile("/allfail.m3u",
                         m_server.url("/missing.mp3").toEncoded() + "\n" +
                             m_server.url("/garbage.mp3").toEncoded() + "\n" +
                             "http://127.0.0.1:1/refused.mp3\n",
                         "audio/x-mpegurl");
        // A playlist from the network that names local files, plain and as URL.
        const QString local = m_media.path(QStringLiteral("short.mp3"));
        m_server.addFile("/local.m3u",
                         local.toUtf8() + "\n" + QUrl::fromLocalFile(local).toEncoded() + "\n",
                         "audio/x-mpegurl");
    }

    void init() { m_audioFile = m_media.recordToNewFile(); }

    void cleanup()
    {
        // Every test leaves its players behind; their cores go down in the
        // background, and all of them must.
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    }

    void beforePlay()
    {
        const qsizetype before = m_server.requests().size();
        auto player = create(m_server.url("/live.mp3"));
        QVERIFY(player);
        QCOMPARE(player->rate(), 0.0f);
        QCOMPARE(player->volume(), 1.0f);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float infinity = std::numeric_limits<float>::infinity();
        for (auto [set, taken] :
             {std::pair{1.7f, 1.0f}, std::pair{-0.2f, 0.0f}, std::pair{nan, 0.0f},
              std::pair{infinity, 1.0f}, std::pair{0.30625f, 0.30625f}}) {
            player->setVolume(set);
            QCOMPARE(player->volume(), taken);
        }
        // Its core is started in the background; nothing is fetched before play().
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 10000);
        QCoreApplication::processEvents();
        QCOMPARE(m_server.requests().size(), before);
    }

    void playsStreamForms_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("direct MP3, paced") << "/live.mp3";
        QTest::newRow("AAC (ADTS), paced") << "/live.aac";
        QTest::newRow("M3U playlist") << "/list.m3u";
        QTest::newRow("PLS playlist") << "/list.pls";
        QTest::newRow("Shoutcast mount, endless, with titles") << "/shoutcast";
        QTest::newRow("HLS playlist") << "/hls/index.m3u8";
        QTest::newRow("redirect to a stream") << "/moved";
    }

    void playsStreamForms()
    {
        QFETCH(QString, path);
        const qsizetype before = m_server.requests().size();
        auto player = create(m_server.url(path));
        QVERIFY(player);
        QSignalSpy rates(player.get(), &MediaPlayer::rateChanged);
        QThread* deliveredOn = nullptr;
        connect(player.get(), &MediaPlayer::rateChanged, this,
                [&deliveredOn] { deliveredOn = QThread::currentThread(); });

        player->play();
        QCOMPARE(player->rate(), 1.0f);
        QCOMPARE(rates.size(), 1);
        QCOMPARE(rates.at(0).at(0).toFloat(), 1.0f);

        // Two seconds heard, and the player still says it plays.
        QVERIFY2(PcmRecording::waitForSeconds(m_audioFile, 2.5, 20000), qPrintable(path));
        QCOMPARE(player->rate(), 1.0f);
        QCOMPARE(rates.size(), 1);
        QCOMPARE(deliveredOn, QThread::currentThread());

        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        const double share = heard.toneShare(MediaFixtures::toneHz, 1.0, 1.0);
        QVERIFY2(share > 0.9, qPrintable(QString::number(share)));
        QVERIFY(heard.rms(1.0, 1.0) > 0.05);

        // Let go of, it drops the stream, reporting nothing (its core goes down
        // in the background; cleanup() waits for that).
        player.reset();
        QCOMPARE(rates.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, 10000);
        const auto requests = m_server.requests().mid(before);
        QVERIFY(!requests.isEmpty());
        QCOMPARE(requests.first().path, path.toUtf8());
        for (const auto& request : requests)
            QCOMPARE(request.headers.value("user-agent"), QByteArray("Sondik/" SONDIK_VERSION));
    }

    void endsOnBadStreams_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("limitMs");
        // Each ends in rate 0. The limits are generous bounds for a loaded
        // machine, not the expected times; a server that never answers ends once
        // the network timeout (10 s) has passed.
        QTest::newRow("404") << "/missing.mp3" << 15000;
        QTest::newRow("HTML page") << "/page.html" << 15000;
        QTest::newRow("garbage bytes") << "/garbage.mp3" << 15000;
        QTest::newRow("closes mid-stream") << "/cut.mp3" << 20000;
        QTest::newRow("accepts, never sends") << "/silent.mp3" << 30000;
        QTest::newRow("connection refused") << "http://127.0.0.1:1/x.mp3" << 15000;
        QTest::newRow("empty playlist") << "/empty.m3u" << 15000;
        QTest::newRow("playlist without entries") << "/comments.m3u" << 15000;
        QTest::newRow("playlist whose entries all fail") << "/allfail.m3u" << 15000;
        QTest::newRow("playlist of local files") << "/local.m3u" << 15000;
    }

    void endsOnBadStreams()
    {
        QFETCH(QString, path);
        QFETCH(int, limitMs);
        const QUrl url = path.startsWith('/') ? m_server.url(path) : QUrl(path);

        auto player = create(url);
        QVERIFY(player);
        QSignalSpy rates(player.get(), &MediaPlayer::rateChanged);
        QElapsedTimer clock;
        clock.start();
        player->play();
        QCOMPARE(player->rate(), 1.0f);
        QTRY_COMPARE_WITH_TIMEOUT(player->rate(), 0.0f, limitMs);
        const qint64 took = clock.elapsed();
        QCOMPARE(rates.size(), 2);
        QCOMPARE(rates.at(1).at(0).toFloat(), 0.0f);
        if (path == "/silent.mp3")
            QVERIFY2(took >= 9000, "ended before the network timeout");
        if (path == "/local.m3u")
            QCOMPARE(PcmRecording::framesIn(m_audioFile), 0); // not a sample of the file
    }

    void volumeIsLinearGain_data()
    {
        QTest::addColumn<float>("gain");
        for (float gain : {1.0f, 0.5f, 0.25f, 0.0f})
            QTest::addRow("%g", gain) << gain;
    }

    void volumeIsLinearGain()
    {
        QFETCH(float, gain);
        PcmRecording reference; // the tone as ffmpeg decodes it
        QVERIFY(reference.read(m_media.referenceWav()));
        const double fullLevel = reference.rms(0.5, 2.0);
        QVERIFY(fullLevel > 0.05);
        auto player = create(m_server.url("/short.mp3"));
        QVERIFY(player);
        player->setVolume(gain);
        QCOMPARE(player->volume(), gain);
        player->play();
        QTRY_COMPARE_WITH_TIMEOUT(player->rate(), 0.0f, 10000);
        player.reset();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);

        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        QVERIFY(heard.seconds() > 2.5);
        const double ratio = heard.rms(0.5, 2.0) / fullLevel;
        QVERIFY2(std::abs(ratio - gain) < 0.02, qPrintable(QString::number(ratio)));
    }
};

QTEST_MAIN(TestMpvMediaPlayer)
#include "tst_mpvmediaplayer.moc"
