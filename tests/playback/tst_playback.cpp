// Real playback through the mpv backend from servers on loopback, heard
// through mpv's pcm audio output.
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "playback/AsyncMediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/RadioPlayer.h"

#include <QRandomGenerator>
#include <QSignalSpy>

namespace {

RadioStation station(const QString& id, const QUrl& url)
{
    return RadioStation{id, "Station " + id, "", "Loopback", std::nullopt, "logo", url.toString()};
}

} // namespace

class TestPlayback : public QObject {
    Q_OBJECT

    MediaFixtures m_media;
    TestHttpServer m_server;
    TestHttpServer m_tls;
    QString m_audioFile;

    // A path on the http server, or "https:" and a path on the https one.
    QUrl url(const QString& path)
    {
        return path.startsWith("https:") ? m_tls.url(path.mid(6)) : m_server.url(path);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_media.make(), qPrintable(m_media.error()));
        const QSslConfiguration tls = m_media.tlsConfiguration();
        QVERIFY2(!tls.localCertificate().isNull(), qPrintable(m_media.error()));
        m_tls.setSslConfiguration(tls);
        QVERIFY(m_server.listen() && m_tls.listen());
        m_media.serve(m_server);
        m_media.serve(m_tls);
        m_server.addFile("/page.html", "<!DOCTYPE html><html><body>Listen live!</body></html>",
                         "text/html");
        QByteArray garbage(64 * 1024, Qt::Uninitialized);
        QRandomGenerator(12345).fillRange(reinterpret_cast<quint32*>(garbage.data()),
                                          garbage.size() / 4);
        m_server.addFile("/garbage.mp3", garbage, "audio/mpeg");
        m_server.add("/silent.mp3", {.kind = TestHttpServer::Route::Silent});
        // A playlist from the network that names a local file, plain and as URL.
        const QString local = m_media.path("tone.mp3");
        m_server.addFile("/local.m3u",
                         local.toUtf8() + "\n" + QUrl::fromLocalFile(local).toEncoded() + "\n",
                         "audio/x-mpegurl");
    }

    void init()
    {
        m_audioFile = m_media.recordToNewFile();
        qputenv("SONDIK_TLS_CA_FILE", m_media.certificatePath().toLocal8Bit());
    }

    // Every player goes down in the background when let go of, and all must.
    void cleanup() { QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000); }

    void plays_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* path : {"/live.mp3", "/live.aac", "/list.m3u", "/list.pls", "/shoutcast",
                                 "/hls/index.m3u8", "https:/list.m3u"})
            QTest::newRow(path) << path;
    }

    void plays()
    {
        QFETCH(QString, path);
        auto player = defaultMediaPlayerFactory()(url(path));
        QVERIFY(player);
        QSignalSpy rates(player.get(), &MediaPlayer::rateChanged);
        player->play();
        QCOMPARE(rates.size(), 1);
        QCOMPARE(player->rate(), 1.0f);

        QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 2.5, 20000));
        // Still playing, but for the HLS playlist: it has an end, and the pcm
        // output plays what it has at once.
        const qsizetype told = rates.size();
        QVERIFY(told == 1 || path.startsWith("/hls"));
        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        QVERIFY2(heard.toneShare(MediaFixtures::toneHz, 1.0, 1.0) > 0.9, qPrintable(path));
        QVERIFY(heard.rms(1.0, 1.0) > MediaFixtures::toneRms / 2);

        // Let go of, it drops the stream without a word.
        player.reset();
        QCOMPARE(rates.size(), told);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections() + m_tls.openConnections(), 0, 10000);
    }

    // Each ends in rate 0, within generous bounds for a loaded machine.
    void endsSafely_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("heard");
        QTest::newRow("404") << "/missing.mp3" << false;
        QTest::newRow("HTML page") << "/page.html" << false;
        QTest::newRow("garbage bytes") << "/garbage.mp3" << false;
        QTest::newRow("accepts, never sends") << "/silent.mp3" << false;
        QTest::newRow("playlist of local files") << "/local.m3u" << false;
        QTest::newRow("untrusted certificate") << "https:/live.mp3" << false;
        QTest::newRow("stream ends") << "/short.mp3" << true;
    }

    void endsSafely()
    {
        QFETCH(QString, path);
        QFETCH(bool, heard);
        if (path.startsWith("https:"))
            qunsetenv("SONDIK_TLS_CA_FILE");
        auto player = defaultMediaPlayerFactory()(url(path));
        QVERIFY(player);
        QSignalSpy rates(player.get(), &MediaPlayer::rateChanged);
        QElapsedTimer clock;
        clock.start();
        player->play();
        QTRY_COMPARE_WITH_TIMEOUT(rates.size(), 2, 30000);
        QCOMPARE(rates.at(1).at(0).toFloat(), 0.0f);
        QCOMPARE(player->hasDecodedAudio(), heard);
        QCOMPARE(PcmRecording::waitForSeconds(m_audioFile, 0.1, 0), heard);
        // A server that never answers ends once the network timeout (10 s) has passed.
        if (path == "/silent.mp3")
            QVERIFY2(clock.elapsed() >= 9000, "ended before the network timeout");
    }

    void fadeRisesLinearly()
    {
        RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
        radio.play(station("paced", m_server.url("/live.mp3")), 1.0f);
        QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 11.0, 20000));
        QVERIFY(radio.player());
        radio.stop();

        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        const double target = heard.rms(heard.seconds() - 1.5, 1.0);
        QVERIFY2(std::abs(target / MediaFixtures::toneRms - 1.0) < 0.1,
                 qPrintable(QString::number(target)));
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

    // A core started ahead (the window shown) is the one the next player
    // takes; one not taken goes when the window hides.
    void preparedCore()
    {
        qputenv("SONDIK_AUDIO_OUTPUT", "null");
        RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
        preloadMediaPlayers();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 20000);
        QTest::qWait(100); // the core is counted just before it is kept
        radio.play(station("/live.mp3", m_server.url("/live.mp3")), 0.8f);
        // The stream opens within the click, with no trip through the backend thread.
        auto* player = qobject_cast<AsyncMediaPlayer*>(radio.player());
        QVERIFY(player && player->isAttached());
        QTRY_VERIFY_WITH_TIMEOUT(radio.player() && radio.player()->hasDecodedAudio(), 20000);
        QCOMPARE(mediaPlayerCoreCount(), 1);
        radio.stop();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
        preloadMediaPlayers();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 20000);
        releasePreparedMediaPlayers();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    }

    // Quick station changes leave one player, playing, and no stream open.
    void rapidStationChanges()
    {
        qputenv("SONDIK_AUDIO_OUTPUT", "null");
        RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
        QList<RadioStation> stations;
        for (const char* path : {"/live.mp3", "/live.aac", "/list.m3u", "/missing.mp3"})
            stations.append(station(path, m_server.url(path)));
        for (int i = 0; i < 300; ++i) {
            radio.play(stations[i % 4], 0.8f);
            radio.stop();
            radio.play(stations[(i + 1) % 4], 0.8f);
            QCoreApplication::processEvents();
        }
        QCOMPARE(radio.currentStation(), stations[0]);
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(radio.player() && radio.player()->hasDecodedAudio(), 20000);
        QVERIFY(!radio.hasError());
        radio.stop();
        QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, 10000);
    }
};

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
