// Real playback through the mpv backend, from a server on loopback and from
// Icecast fed by ffmpeg, heard through mpv's pcm audio output.
#include "IcecastServer.h"
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "TestHttpServer.h"
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <cmath>
#include <limits>

class TestMpvMediaPlayer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playsStreamForms_data();
    void playsStreamForms();
    void endsOnBadStreams_data();
    void endsOnBadStreams();
    void neverOpensLocalFileFromRemotePlaylist();
    void volumeIsLinearGain_data();
    void volumeIsLinearGain();
    void volumeIsClamped_data();
    void volumeIsClamped();
    void releaseSilencesAndTearsDown();
    void rateBeforePlay();

private:
    std::unique_ptr<MediaPlayer> create(const QUrl& url);
    QString freshAudioFile();

    MediaFixtures m_media;
    TestHttpServer m_server;
    IcecastServer m_icecast;
    int m_fileCount = 0;
    QString m_audioFile;
};

std::unique_ptr<MediaPlayer> TestMpvMediaPlayer::create(const QUrl& url)
{
    return defaultMediaPlayerFactory()(url);
}

QString TestMpvMediaPlayer::freshAudioFile()
{
    m_audioFile = m_media.path(QStringLiteral("heard-%1.wav").arg(++m_fileCount));
    qputenv("SONDIK_AUDIO_FILE", m_audioFile.toLocal8Bit());
    return m_audioFile;
}

void TestMpvMediaPlayer::initTestCase()
{
    qputenv("SONDIK_AUDIO_OUTPUT", "pcm");
    QVERIFY2(m_media.make(), qPrintable(m_media.error()));
    QVERIFY(m_server.listen());
    QVERIFY2(m_icecast.start(QStringLiteral("/radio.mp3"), MediaFixtures::toneHz),
             qPrintable(m_icecast.error()));
    m_media.serve(m_server);
    using Route = TestHttpServer::Route;
    m_server.add("/moved",
                 {.kind = Route::Redirect, .location = m_server.url("/live.mp3").toEncoded()});
    m_server.add("/missing.mp3", {.kind = Route::Status,
                                  .status = 404,
                                  .body = "<html><body>Not found</body></html>",
                                  .contentType = "text/html"});
    m_server.addFile("/page.html",
                     "<!DOCTYPE html><html><head><title>Radio</title></head><body>"
                     "<p>Listen live!</p></body></html>",
                     "text/html");
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    quint32 seed = 12345;
    for (char& byte : garbage) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    m_server.addFile("/garbage.mp3", garbage, "audio/mpeg");
    const qint64 mp3Rate = MediaFixtures::mp3BitRate / 8;
    m_server.add("/cut.mp3", {.kind = Route::CloseAfter,
                              .body = m_media.mp3(),
                              .contentType = "audio/mpeg",
                              .bytesPerSecond = mp3Rate,
                              .limit = 2 * mp3Rate});
    m_server.add("/silent.mp3", {.kind = Route::Silent});
    m_server.addFile("/empty.m3u", "", "audio/x-mpegurl");
    m_server.addFile("/comments.m3u", "#EXTM3U\n# nothing here\n", "audio/x-mpegurl");
    m_server.addFile("/allfail.m3u",
                     m_server.url("/missing.mp3").toEncoded() + "\n" +
                         m_server.url("/garbage.mp3").toEncoded() + "\n" +
                         "http://127.0.0.1:1/refused.mp3\n",
                     "audio/x-mpegurl");
}

void TestMpvMediaPlayer::init()
{
    freshAudioFile();
}

void TestMpvMediaPlayer::cleanup()
{
    // Every test leaves its players behind; their cores go down in the
    // background, and all of them must.
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
}

void TestMpvMediaPlayer::rateBeforePlay()
{
    const qsizetype before = m_server.requests().size();
    auto player = create(m_server.url("/live.mp3"));
    QVERIFY(player);
    QCOMPARE(player->rate(), 0.0f);
    QCOMPARE(player->volume(), 1.0f);
    // Its core is started in the background; nothing is fetched before play().
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 10000);
    QTest::qWait(1000);
    QCOMPARE(m_server.requests().size(), before);
}

void TestMpvMediaPlayer::playsStreamForms_data()
{
    // A path on the test server, or on Icecast ("icecast:").
    QTest::addColumn<QString>("path");
    QTest::newRow("direct MP3, paced") << "/live.mp3";
    QTest::newRow("AAC (ADTS), paced") << "/live.aac";
    QTest::newRow("M3U playlist") << "/list.m3u";
    QTest::newRow("PLS playlist") << "/list.pls";
    QTest::newRow("Shoutcast mount, endless, with titles") << "/shoutcast";
    QTest::newRow("HLS playlist") << "/hls/index.m3u8";
    QTest::newRow("redirect to a stream") << "/moved";
    QTest::newRow("Icecast mount") << "icecast:/radio.mp3";
    QTest::newRow("Icecast's .m3u of the mount") << "icecast:/radio.mp3.m3u";
}

void TestMpvMediaPlayer::playsStreamForms()
{
    QFETCH(QString, path);
    const bool icecast = path.startsWith("icecast:");
    const qsizetype before = m_server.requests().size();

    auto player = create(icecast ? m_icecast.url(path.mid(8)) : m_server.url(path));
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
    QVERIFY2(heard.toneShare(MediaFixtures::toneHz, 1.0, 1.0) > 0.9,
             qPrintable(QString::number(heard.toneShare(MediaFixtures::toneHz, 1.0, 1.0))));
    QVERIFY(heard.rms(1.0, 1.0) > 0.05);
    if (icecast)
        return;

    const auto requests = m_server.requests().mid(before);
    QVERIFY(!requests.isEmpty());
    QCOMPARE(requests.first().path, path.toUtf8());
    for (const auto& request : requests)
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Sondik/" SONDIK_VERSION));
}

void TestMpvMediaPlayer::endsOnBadStreams_data()
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
}

void TestMpvMediaPlayer::endsOnBadStreams()
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

    // Nothing more is reported once it has ended (an end that the events and
    // the idle flag both report must come once).
    QTest::qWait(1000);
    QCOMPARE(rates.size(), 2);
}

void TestMpvMediaPlayer::neverOpensLocalFileFromRemotePlaylist()
{
    // A playlist from the network that names local files, plain and as URL.
    const QString local = m_media.path(QStringLiteral("short.mp3"));
    m_server.addFile("/local.m3u",
                     local.toUtf8() + "\n" + QUrl::fromLocalFile(local).toEncoded() + "\n",
                     "audio/x-mpegurl");
    auto player = create(m_server.url("/local.m3u"));
    QVERIFY(player);
    player->play();
    QTRY_COMPARE_WITH_TIMEOUT(player->rate(), 0.0f, 15000);
    // Not a sample of it reached the output.
    QCOMPARE(PcmRecording::framesIn(m_audioFile), 0);
}

void TestMpvMediaPlayer::volumeIsLinearGain_data()
{
    QTest::addColumn<float>("gain");
    QTest::newRow("full") << 1.0f;
    QTest::newRow("half the amplitude") << 0.5f;
    QTest::newRow("a quarter") << 0.25f;
    QTest::newRow("silent") << 0.0f;
}

void TestMpvMediaPlayer::volumeIsLinearGain()
{
    QFETCH(float, gain);
    // The tone at full scale, as reference.
    static double fullLevel = 0.0;
    if (fullLevel == 0.0) {
        auto reference = create(m_server.url("/short.mp3"));
        QVERIFY(reference);
        reference->play();
        QTRY_COMPARE_WITH_TIMEOUT(reference->rate(), 0.0f, 10000);
        reference.reset();
        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        fullLevel = heard.rms(0.5, 2.0);
        QVERIFY(fullLevel > 0.05);
        freshAudioFile();
    }

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

void TestMpvMediaPlayer::volumeIsClamped_data()
{
    QTest::addColumn<float>("set");
    QTest::addColumn<float>("expected");
    QTest::newRow("above one") << 1.7f << 1.0f;
    QTest::newRow("below zero") << -0.2f << 0.0f;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0f;
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << 1.0f;
    QTest::newRow("in range, kept exactly") << 0.30625f << 0.30625f;
}

void TestMpvMediaPlayer::volumeIsClamped()
{
    QFETCH(float, set);
    QFETCH(float, expected);
    auto player = create(m_server.url("/short.mp3"));
    QVERIFY(player);
    player->setVolume(set);
    QCOMPARE(player->volume(), expected);
}

void TestMpvMediaPlayer::releaseSilencesAndTearsDown()
{
    auto player = create(m_server.url("/live.mp3"));
    QVERIFY(player);
    QSignalSpy rates(player.get(), &MediaPlayer::rateChanged);
    player->play();
    QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 1.5, 15000));
    QCOMPARE(m_server.openConnections(), 1);

    player.reset();
    // The stream is let go of and the core goes down, reporting nothing.
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    QCOMPARE(rates.size(), 1);
}

QTEST_MAIN(TestMpvMediaPlayer)
#include "tst_mpvmediaplayer.moc"
