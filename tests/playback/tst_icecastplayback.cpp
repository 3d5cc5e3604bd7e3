// A real Icecast server on loopback, fed by ffmpeg, played by the mpv backend:
// the mount itself and Icecast's own .m3u for it.
#include "IcecastServer.h"
#include "PcmRecording.h"
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestIcecastPlayback : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void playsMount_data();
    void playsMount();
    void cleanup();

private:
    static constexpr int toneHz = 660;
    IcecastServer m_icecast;
    QTemporaryDir m_dir;
    int m_fileCount = 0;
};

void TestIcecastPlayback::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("SONDIK_AUDIO_OUTPUT", "pcm");
    QVERIFY2(m_icecast.start(QStringLiteral("/radio.mp3"), toneHz), qPrintable(m_icecast.error()));
}

void TestIcecastPlayback::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
}

void TestIcecastPlayback::playsMount_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("mount") << "/radio.mp3";
    QTest::newRow("Icecast's .m3u of the mount") << "/radio.mp3.m3u";
}

void TestIcecastPlayback::playsMount()
{
    QFETCH(QString, path);
    const QString heardFile = m_dir.filePath(QStringLiteral("heard-%1.wav").arg(++m_fileCount));
    qputenv("SONDIK_AUDIO_FILE", heardFile.toLocal8Bit());

    auto player = defaultMediaPlayerFactory()(m_icecast.url(path));
    QVERIFY(player);
    QSignalSpy rates(player.get(), &MediaPlayer::rateChanged);
    player->play();
    QCOMPARE(player->rate(), 1.0f);

    // Icecast sends a burst, then the stream in real time: wait for 3 s heard.
    QElapsedTimer clock;
    clock.start();
    while (PcmRecording::framesIn(heardFile) < 3 * 44100 && clock.elapsed() < 20000)
        QTest::qWait(100);
    QCOMPARE(player->rate(), 1.0f);
    QCOMPARE(rates.size(), 1);

    PcmRecording heard;
    QVERIFY(heard.read(heardFile));
    QVERIFY2(heard.seconds() >= 3.0, qPrintable(QString::number(heard.seconds())));
    const double share = heard.toneShare(toneHz, 1.0, 1.5);
    QVERIFY2(share > 0.9, qPrintable(QString::number(share)));
}

QTEST_MAIN(TestIcecastPlayback)
#include "tst_icecastplayback.moc"
