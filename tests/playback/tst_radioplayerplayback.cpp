// RadioPlayer on the real mpv backend: the tune service over https, the fade
// as heard, and many quick station changes.
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "TestHttpServer.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/RadioPlayer.h"

#include <QSslKey>
#include <QTcpServer>
#include <QTest>

#include <cmath>

class TestRadioPlayerPlayback : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playsThroughTuneService();
    void refusesUntrustedTuneService();
    void secondWayThroughTuneService_data();
    void secondWayThroughTuneService();
    void fadeRisesLinearly_data();
    void fadeRisesLinearly();
    void rapidStationChanges();

private:
    static RadioStation station(const QString& id, std::optional<QString> streamUrl);

    MediaFixtures m_media;
    TestHttpServer m_server;
    TestHttpServer m_tuneService;
    QString m_audioFile;
    int m_fileCount = 0;
    // The tone as decoded at full volume.
    double m_fullLevel = 0.0;
};

RadioStation TestRadioPlayerPlayback::station(const QString& id, std::optional<QString> streamUrl)
{
    return RadioStation{id,     "Station " + id,     "", "Loopback", std::nullopt,
                        "logo", std::move(streamUrl)};
}

void TestRadioPlayerPlayback::initTestCase()
{
    QVERIFY2(m_media.make(), qPrintable(m_media.error()));
    QVERIFY(m_server.listen());
    m_media.serve(m_server);
    m_server.add("/gone.mp3", {.kind = TestHttpServer::Route::Status, .status = 404});
    PcmRecording reference;
    QVERIFY(reference.read(m_media.referenceWav()));
    m_fullLevel = reference.rms(1.0, 2.0);
    QVERIFY(m_fullLevel > 0.01);

    // The tune service answers over https, with a certificate made here.
    const QSslConfiguration tls = m_media.tlsConfiguration();
    QVERIFY2(!tls.localCertificate().isNull() && !tls.privateKey().isNull(),
             qPrintable(m_media.error()));
    m_tuneService.setSslConfiguration(tls);
    QVERIFY(m_tuneService.listen());
    m_tuneService.addFile("/Tune.ashx", m_server.url("/live.mp3").toEncoded() + "\n",
                          "audio/x-mpegurl");
}

void TestRadioPlayerPlayback::init()
{
    qputenv("SONDIK_AUDIO_OUTPUT", "pcm");
    m_audioFile = m_media.path(QStringLiteral("heard-%1.wav").arg(++m_fileCount));
    qputenv("SONDIK_AUDIO_FILE", m_audioFile.toLocal8Bit());
    qputenv("SONDIK_TLS_CA_FILE", m_media.certificatePath().toLocal8Bit());
}

void TestRadioPlayerPlayback::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
}

void TestRadioPlayerPlayback::playsThroughTuneService()
{
    const QString tuneHost = QStringLiteral("127.0.0.1:%1").arg(m_tuneService.port());
    RadioPlayer radio(defaultMediaPlayerFactory(), tuneHost);
    const RadioStation tuned = station("s24896", std::nullopt);
    radio.play(tuned, 1.0f);
    QVERIFY(radio.player());

    QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 3.0, 15000));
    QVERIFY(radio.player());
    QVERIFY(!radio.hasError());
    QCOMPARE(radio.currentStation(), tuned);
    QCOMPARE(m_tuneService.requestCount("/Tune.ashx"), 1);
    QCOMPARE(m_tuneService.requests().last().path, QByteArray("/Tune.ashx?id=s24896"));

    PcmRecording heard;
    QVERIFY(heard.read(m_audioFile));
    QVERIFY(heard.toneShare(MediaFixtures::toneHz, 2.0, 1.0) > 0.9);
    radio.stop();
}

void TestRadioPlayerPlayback::refusesUntrustedTuneService()
{
    // The certificate is not in the trust store: the stream is refused.
    qunsetenv("SONDIK_TLS_CA_FILE");
    const QString tuneHost = QStringLiteral("127.0.0.1:%1").arg(m_tuneService.port());
    RadioPlayer radio(defaultMediaPlayerFactory(), tuneHost);
    const int before = m_tuneService.requestCount("/Tune.ashx");
    radio.play(station("s1", std::nullopt), 1.0f);
    QTRY_VERIFY_WITH_TIMEOUT(radio.hasError(), 10000);
    QVERIFY(!radio.player());
    QCOMPARE(radio.currentStation(), std::nullopt);
    QCOMPARE(m_tuneService.requestCount("/Tune.ashx"), before);
    QCOMPARE(PcmRecording::framesIn(m_audioFile), 0);
}

namespace {

// A loopback port on which nothing listens.
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

void TestRadioPlayerPlayback::secondWayThroughTuneService_data()
{
    QTest::addColumn<QString>("path"); // on the test's server; empty: a refused connection
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("tuneServiceUp");
    QTest::addColumn<bool>("playsViaTuneService");

    QTest::newRow("own address 404") << "/gone.mp3"
                                     << "s24896" << true << true;
    QTest::newRow("own address refused") << ""
                                         << "s24896" << true << true;
    QTest::newRow("played, then stopped") << "/short.mp3"
                                          << "s24896" << true << false;
    QTest::newRow("word id") << "/gone.mp3"
                             << "wdr2" << true << false;
    QTest::newRow("tune service fails too") << "/gone.mp3"
                                            << "s24896" << false << false;
}

void TestRadioPlayerPlayback::secondWayThroughTuneService()
{
    QFETCH(QString, path);
    QFETCH(QString, id);
    QFETCH(bool, tuneServiceUp);
    QFETCH(bool, playsViaTuneService);
    const quint16 refused = closedPort();
    QVERIFY(refused);
    const QString ownUrl = path.isEmpty()
                               ? QStringLiteral("http://127.0.0.1:%1/live.mp3").arg(refused)
                               : m_server.url(path).toString();
    const QString tuneHost =
        QStringLiteral("127.0.0.1:%1").arg(tuneServiceUp ? m_tuneService.port() : refused);
    RadioPlayer radio(defaultMediaPlayerFactory(), tuneHost);
    const int tuneRequests = m_tuneService.requestCount("/Tune.ashx");
    const RadioStation stale = station(id, ownUrl);
    radio.play(stale, 1.0f);

    if (playsViaTuneService) {
        QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 3.0, 20000));
        QVERIFY(radio.player());
        QVERIFY(!radio.hasError());
        QCOMPARE(radio.currentStation(), stale);
        QCOMPARE(m_tuneService.requestCount("/Tune.ashx"), tuneRequests + 1);
        PcmRecording heard;
        QVERIFY(heard.read(m_audioFile));
        QVERIFY(heard.toneShare(MediaFixtures::toneHz, 2.0, 1.0) > 0.9);
        radio.stop();
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(radio.hasError(), 20000);
    QVERIFY(!radio.player());
    QCOMPARE(radio.currentStation(), std::nullopt);
    // Nothing more is tried: no second player comes.
    QTest::qWait(1000);
    QVERIFY(!radio.player());
    QCOMPARE(m_tuneService.requestCount("/Tune.ashx"), tuneRequests);
}

void TestRadioPlayerPlayback::fadeRisesLinearly_data()
{
    QTest::addColumn<float>("volume");
    QTest::newRow("to full") << 1.0f;
    QTest::newRow("to half") << 0.5f;
}

void TestRadioPlayerPlayback::fadeRisesLinearly()
{
    QFETCH(float, volume);
    RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
    radio.play(station("paced", m_server.url("/paced.mp3").toString()), volume);
    QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 11.0, 20000));
    QVERIFY(radio.player());
    radio.stop();

    PcmRecording heard;
    QVERIFY(heard.read(m_audioFile));
    const double target = m_fullLevel * volume;
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

void TestRadioPlayerPlayback::rapidStationChanges()
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
    // The last one plays on.
    QVERIFY(radio.player());
    QCOMPARE(radio.currentStation(), stations[300 % 4]);
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 1, 60000);
    QTest::qWait(1000);
    QVERIFY(radio.player());
    QCOMPARE(radio.player()->rate(), 1.0f);
    QVERIFY(!radio.hasError());
    radio.stop();
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.openConnections(), 0, 10000);
}

QTEST_MAIN(TestRadioPlayerPlayback)
#include "tst_radioplayerplayback.moc"
