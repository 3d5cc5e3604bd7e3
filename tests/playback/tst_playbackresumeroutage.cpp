// The resume policy over a real network: the stream server in one network
// namespace, the player in another, joined by a veth pair; the player's
// default route is cut mid-stream and brought back. Needs root.
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "TestHttpServer.h"
#include "network/NetworkStatus.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/PlaybackResumer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace {

// Runs `ip -batch -` in the namespace of the calling thread.
QString ip(const QStringList& commands)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ip"), {QStringLiteral("-batch"), QStringLiteral("-")});
    if (!process.waitForStarted(10000))
        return QStringLiteral("ip did not start");
    process.write(commands.join(QLatin1Char('\n')).toUtf8() + '\n');
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return QStringLiteral("ip did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAll());
    return {};
}

#define IP(commands)                                                                               \
    do {                                                                                           \
        const QString failure = ip(commands);                                                      \
        QVERIFY2(failure.isEmpty(), qPrintable(failure));                                          \
    } while (false)

const QStringList cutRoute = {"route del default"};
const QStringList restoreRoute = {"route add default via 10.99.0.1"};

// Runs the event loop until the WAV file has stopped growing for `quietMs`.
bool heardStop(const QString& path, int quietMs, int limitMs)
{
    QElapsedTimer total, quiet;
    total.start();
    quiet.start();
    qsizetype frames = PcmRecording::framesIn(path);
    while (total.elapsed() < limitMs) {
        QTest::qWait(50);
        const qsizetype now = PcmRecording::framesIn(path);
        if (now != frames) {
            frames = now;
            quiet.restart();
        } else if (frames > 0 && quiet.elapsed() >= quietMs) {
            return true;
        }
    }
    return false;
}

} // namespace

class TestPlaybackResumerOutage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void resumesOnceWhenTheRouteReturns();
    void noResumeAfterStop();

private:
    // Plays the station until it is heard; leaves the route cut.
    void playThenCut();

    MediaFixtures m_media;
    TestHttpServer m_server;
    int m_serverNamespace = -1;
    QTemporaryDir m_dir;
    QString m_audioFile;
    int m_fileCount = 0;
    int m_requestsBefore = 0; // for the stream, by earlier cases
    const RadioStation m_station{"loop", "Loop", "", "Namespace", std::nullopt, "logo", {}};
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<RadioPlayer> m_radio;
    std::unique_ptr<NetworkStatus> m_network;
    std::unique_ptr<PlaybackResumer> m_resumer;
};

void TestPlaybackResumerOutage::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("Needs root to create network namespaces");
    QVERIFY2(m_media.make(), qPrintable(m_media.error()));

    // The server's namespace: its address sits behind the veth, reachable
    // from the player only through the default route.
    if (::unshare(CLONE_NEWNET) != 0)
        QSKIP(qPrintable(QStringLiteral("Network namespaces are unavailable: ") +
                         QString::fromLocal8Bit(std::strerror(errno))));
    m_serverNamespace = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    QVERIFY(m_serverNamespace >= 0);
    IP((QStringList{"link set lo up", "addr add 10.98.0.1/32 dev lo"}));
    QVERIFY(m_server.listen(QHostAddress(QStringLiteral("10.98.0.1"))));
    m_media.serve(m_server);

    // The player's namespace, entered for the rest of the test: everything
    // made from here on (sockets, the media threads) lives in it.
    QVERIFY(::unshare(CLONE_NEWNET) == 0);
    const int player = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    QVERIFY(player >= 0);
    IP((QStringList{"link set lo up", "link add vc type veth peer name vs",
                    QStringLiteral("link set vs netns /proc/%1/fd/%2")
                        .arg(::getpid())
                        .arg(m_serverNamespace)}));
    QVERIFY(::setns(m_serverNamespace, CLONE_NEWNET) == 0);
    const QString serverSide = ip({"addr add 10.99.0.1/24 dev vs", "link set vs up"});
    QVERIFY(::setns(player, CLONE_NEWNET) == 0);
    ::close(player);
    QVERIFY2(serverSide.isEmpty(), qPrintable(serverSide));
    IP((QStringList{"addr add 10.99.0.2/24 dev vc", "link set vc up"} + restoreRoute));
}

void TestPlaybackResumerOutage::cleanupTestCase()
{
    if (m_serverNamespace >= 0)
        ::close(m_serverNamespace);
}

void TestPlaybackResumerOutage::init()
{
    qputenv("SONDIK_AUDIO_OUTPUT", "pcm");
    m_audioFile = m_media.path(QStringLiteral("heard-%1.wav").arg(++m_fileCount));
    qputenv("SONDIK_AUDIO_FILE", m_audioFile.toLocal8Bit());
    m_preferences = std::make_unique<Preferences>(m_dir.filePath(QStringLiteral("Sondik.conf")));
    m_radio = std::make_unique<RadioPlayer>(defaultMediaPlayerFactory(),
                                            QStringLiteral("unused.invalid"));
    m_network = std::make_unique<NetworkStatus>();
    m_resumer = std::make_unique<PlaybackResumer>(*m_radio, *m_network, *m_preferences);
    QTRY_VERIFY_WITH_TIMEOUT(!m_network->missingConnection(), 10000);
}

void TestPlaybackResumerOutage::cleanup()
{
    m_resumer.reset();
    if (m_radio)
        m_radio->stop();
    m_network.reset();
    m_radio.reset();
    m_preferences.reset();
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    ip(restoreRoute); // may be there already
}

void TestPlaybackResumerOutage::playThenCut()
{
    RadioStation station = m_station;
    station.streamUrl = m_server.url(QStringLiteral("/live.mp3")).toString();
    m_requestsBefore = m_server.requestCount(QStringLiteral("/live.mp3"));
    // A click on its row.
    m_preferences->setSelectedRadioStationId(station.id);
    m_radio->play(station, m_preferences->volume());
    QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 3.0, 20000));
    QCOMPARE(m_server.requestCount(QStringLiteral("/live.mp3")), m_requestsBefore + 1);

    IP(cutRoute);
    QTRY_VERIFY_WITH_TIMEOUT(m_network->missingConnection(), 10000);
}

void TestPlaybackResumerOutage::resumesOnceWhenTheRouteReturns()
{
    playThenCut();
    if (QTest::currentTestFailed())
        return;
    // The stream runs dry and the player gives up: silence, then the failure.
    QVERIFY(heardStop(m_audioFile, 2000, 60000));
    QTRY_VERIFY_WITH_TIMEOUT(m_radio->hasError(), 60000);
    QVERIFY(!m_radio->player());
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    QVERIFY(QFile::remove(m_audioFile));
    // Stays silent while the route is away.
    QTest::qWait(3000);
    QVERIFY(!m_radio->player());
    QCOMPARE(m_server.requestCount(QStringLiteral("/live.mp3")), m_requestsBefore + 1);

    IP(restoreRoute);
    QElapsedTimer sinceReturn;
    sinceReturn.start();
    QTRY_VERIFY_WITH_TIMEOUT(PcmRecording::framesIn(m_audioFile) > 0, 30000);
    const qint64 firstSample = sinceReturn.elapsed();
    qInfo("first sample %lld ms after the route returned", firstSample);

    QVERIFY(PcmRecording::waitForSeconds(m_audioFile, 2.0, 20000));
    PcmRecording heard;
    QVERIFY(heard.read(m_audioFile));
    QVERIFY(heard.toneShare(MediaFixtures::toneHz, heard.seconds() - 1.0, 1.0) > 0.9);
    QVERIFY(m_radio->player());
    QCOMPARE(m_radio->currentStation()->id, m_station.id);
    // Exactly once.
    QTest::qWait(3000);
    QCOMPARE(m_server.requestCount(QStringLiteral("/live.mp3")), m_requestsBefore + 2);
}

void TestPlaybackResumerOutage::noResumeAfterStop()
{
    playThenCut();
    if (QTest::currentTestFailed())
        return;
    m_radio->stop(); // the top bar's pause
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    IP(restoreRoute);
    QTRY_VERIFY_WITH_TIMEOUT(!m_network->missingConnection(), 10000);
    // Well past the settling delay.
    QTest::qWait(PlaybackResumer::settlingDelayMs + 4000);
    QVERIFY(!m_radio->player());
    QCOMPARE(m_server.requestCount(QStringLiteral("/live.mp3")), m_requestsBefore + 1);
}

QTEST_MAIN(TestPlaybackResumerOutage)
#include "tst_playbackresumeroutage.moc"
