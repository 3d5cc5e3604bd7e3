// The resume policy over a real network: the stream server in one network
// namespace, the player in another, joined by a veth pair; the player's
// default route is cut mid-stream and brought back. Needs root.
#include "IpBatch.h"
#include "MediaFixtures.h"
#include "PcmRecording.h"
#include "TestHttpServer.h"
#include "network/NetworkStatus.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/PlaybackResumer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

class TestPlaybackResumerOutage : public QObject {
    Q_OBJECT

private slots:
    void resumesWhenTheRouteReturns();
};

void TestPlaybackResumerOutage::resumesWhenTheRouteReturns()
{
    if (::geteuid() != 0)
        QSKIP("Needs root to create network namespaces");
    MediaFixtures media;
    QVERIFY2(media.make(), qPrintable(media.error()));

    // The server's namespace: its address sits behind the veth, reachable
    // from the player only through the default route.
    if (::unshare(CLONE_NEWNET) != 0)
        QSKIP(qPrintable(QStringLiteral("Network namespaces are unavailable: ") +
                         QString::fromLocal8Bit(std::strerror(errno))));
    const int serverNamespace = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    QVERIFY(serverNamespace >= 0);
    const auto closeNamespace = qScopeGuard([&] { ::close(serverNamespace); });
    IP({"link set lo up", "addr add 10.98.0.1/32 dev lo"});
    TestHttpServer server;
    QVERIFY(server.listen(QHostAddress(QStringLiteral("10.98.0.1"))));
    media.serve(server);

    // The player's namespace, entered for the rest of the test: everything
    // made from here on (sockets, the media threads) lives in it.
    QVERIFY(::unshare(CLONE_NEWNET) == 0);
    const int player = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    QVERIFY(player >= 0);
    IP({"link set lo up", "link add vc type veth peer name vs",
        QStringLiteral("link set vs netns /proc/%1/fd/%2").arg(::getpid()).arg(serverNamespace)});
    QVERIFY(::setns(serverNamespace, CLONE_NEWNET) == 0);
    const IpBatch serverSide({"addr add 10.99.0.1/24 dev vs", "link set vs up"});
    QVERIFY(::setns(player, CLONE_NEWNET) == 0);
    ::close(player);
    QVERIFY2(serverSide.ok, qPrintable(serverSide.output));
    IP({"addr add 10.99.0.2/24 dev vc", "link set vc up", "route add default via 10.99.0.1"});

    const QString audioFile = media.recordToNewFile();
    QTemporaryDir dir;
    Preferences preferences(dir.filePath(QStringLiteral("Sondik.conf")));
    RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
    const auto stop = qScopeGuard([&] {
        radio.stop();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    });
    NetworkStatus network;
    PlaybackResumer resumer(radio, network, preferences);
    QTRY_VERIFY_WITH_TIMEOUT(!network.missingConnection(), 10000);

    // A click on the station's row, then the route is cut mid-stream.
    const QString url = server.url(QStringLiteral("/live.mp3")).toString();
    const RadioStation station{"loop", "Loop", "", "Namespace", std::nullopt, "logo", url};
    preferences.setSelectedRadioStationId(station.id);
    radio.play(station, preferences.volume());
    QVERIFY(PcmRecording::waitForSeconds(audioFile, 3.0, 20000));
    IP({"route del default"});
    QTRY_VERIFY_WITH_TIMEOUT(network.missingConnection(), 10000);

    // The stream runs dry and the player gives up.
    QTRY_VERIFY_WITH_TIMEOUT(radio.hasError(), 60000);
    QVERIFY(!radio.player());
    QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
    QVERIFY(QFile::remove(audioFile));
    QCOMPARE(server.requestCount(QStringLiteral("/live.mp3")), 1);

    IP({"route add default via 10.99.0.1"});
    QVERIFY(PcmRecording::waitForSeconds(audioFile, 2.0, 30000));
    PcmRecording heard;
    QVERIFY(heard.read(audioFile));
    QVERIFY(heard.toneShare(MediaFixtures::toneHz, heard.seconds() - 1.0, 1.0) > 0.9);
    QCOMPARE(server.requestCount(QStringLiteral("/live.mp3")), 2);
}

QTEST_MAIN(TestPlaybackResumerOutage)
#include "tst_playbackresumeroutage.moc"
