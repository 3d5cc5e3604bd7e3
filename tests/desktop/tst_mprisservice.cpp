// The player on a private session bus as desktop clients meet it: playerctl
// and a second D-Bus connection, against a real player on loopback streams.
#include "MediaFixtures.h"
#include "TestHttpServer.h"
#include "desktop/MprisService.h"
#include "desktop/StationArtwork.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/PlaybackController.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QDBusConnection>
#include <QDBusReply>
#include <QDBusVariant>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString service = QLatin1String(MprisService::serviceName);
const QString path = QLatin1String(MprisService::objectPath);
const QString player = QLatin1String(MprisService::playerInterface);
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

class TestMprisService : public QObject {
    Q_OBJECT

public slots:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList&)
    {
        if (interface == player)
            announced.insert(changed);
    }

private:
    MediaFixtures m_media;
    TestHttpServer m_server;
    QTemporaryDir m_dir;
    QList<RadioStation> m_stations;
    // As the application wires them.
    Preferences m_preferences{m_dir.filePath("prefs.conf")};
    RadioPlayer m_radio{defaultMediaPlayerFactory(), "unused.invalid"};
    PlaybackController m_controller{m_radio, m_preferences, [this] {
                                        return m_stations;
                                    }};
    StationArtwork m_artwork{m_dir.filePath("cache/logos"), m_dir.filePath("%1.svg")};
    MprisService m_mpris{m_controller, m_radio, m_preferences, m_artwork};
    QDBusConnection m_client{QString()};
    QVariantMap announced; // the latest value a client was told of each property
    int m_raised = 0;

    QString playerctl(const QStringList& arguments)
    {
        // Run to the end with this process serving the bus meanwhile.
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start("playerctl", QStringList{"-p", "sondik"} + arguments);
        if (!finished.wait(20000)) {
            process.kill();
            process.waitForFinished(5000);
            qWarning() << "playerctl" << arguments << "did not end";
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QDBusMessage call(const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, properties, method);
        message.setArguments(arguments);
        // The local event loop lets this process answer its own question.
        return m_client.call(message, QDBus::BlockWithGui, 10000);
    }
    QVariant property(const QString& interface, const QString& name)
    {
        const QDBusMessage reply = call("Get", {interface, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

private slots:
    void initTestCase()
    {
        qputenv("SONDIK_AUDIO_OUTPUT", "null");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        QVERIFY2(m_media.make(), qPrintable(m_media.error()));
        QVERIFY(m_server.listen());
        m_media.serve(m_server);

        // A logo for the first station only.
        QFile logo(m_dir.filePath("song.svg"));
        QVERIFY(logo.open(QIODevice::WriteOnly));
        logo.write("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                   "<circle cx='5' cy='5' r='5' fill='#e03030'/></svg>");
        logo.close();
        const auto station = [this](const char* id, const char* name, const char* path) {
            return RadioStation{
                id, name, "", "Loopback", std::nullopt, id, m_server.url(path).toString()};
        };
        m_stations = {station("song", "Song FM", "/shoutcast"),
                      station("plain", "Plain Tone", "/live.mp3"),
                      station("dead", "Dead Air", "/gone.mp3")};

        m_preferences.setOnVolumeChanged([this](float volume) { m_radio.setVolume(volume); });
        m_mpris.setOnRaise([this] { ++m_raised; });
        QVERIFY(m_mpris.start());
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");
        QVERIFY(m_client.connect(service, path, properties, "PropertiesChanged", this,
                                 SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))));
    }

    void cleanupTestCase()
    {
        m_controller.deselectStation();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
        QDBusConnection::disconnectFromBus("client");
    }

    void init()
    {
        m_controller.deselectStation();
        m_preferences.setVolume(0.0f); // no fade: the player's volume is what was last set
        QTRY_COMPARE(announced.value("PlaybackStatus", "Stopped").toString(), "Stopped");
        QTRY_COMPARE(property(player, "PlaybackStatus").toString(), "Stopped");
    }

    // Quit: tst_sondikapp, on the whole program.
    void raise()
    {
        m_client.asyncCall(
            QDBusMessage::createMethodCall(service, path, "org.mpris.MediaPlayer2", "Raise"));
        QTRY_COMPARE(m_raised, 1);
    }

    // What the media keys and panels do, told back to them through both
    // a property read and the change announced.
    void controls_data()
    {
        QTest::addColumn<QString>("selected"); // empty: none
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("selectedAfter");
        QTest::addColumn<int>("playerChanges"); // a play while playing plays on
        const auto row = [](const char* name, const char* selected, const char* commands,
                            const char* status, const char* after, int changes) {
            QTest::newRow(name) << selected << commands << status << after << changes;
        };
        row("play with nothing selected", "", "play", "Stopped", "", 0);
        row("play", "plain", "play", "Playing", "plain", 1);
        row("play while playing", "plain", "play play", "Playing", "plain", 1);
        // A live stream's pause is the stop of the play button: the station stays.
        row("pause", "plain", "play pause", "Stopped", "plain", 2);
        row("play-pause twice", "plain", "play-pause play-pause", "Stopped", "plain", 2);
        row("next wraps", "dead", "next", "Playing", "song", 1);
        row("previous", "plain", "previous", "Playing", "song", 1);
        row("stream fails", "plain", "next", "Stopped", "dead", 2);
    }

    void controls()
    {
        QFETCH(QString, selected);
        QFETCH(QString, commands);
        QFETCH(QString, status);
        QFETCH(QString, selectedAfter);
        QFETCH(int, playerChanges);
        if (!selected.isEmpty())
            m_preferences.setSelectedRadioStationId(selected);
        QTRY_COMPARE(announced.value("CanPlay").toBool(), !selected.isEmpty());
        QSignalSpy changes(&m_radio, &RadioPlayer::playerChanged);
        for (const QString& command : commands.split(' '))
            playerctl({command});

        QTRY_COMPARE_WITH_TIMEOUT(playerctl({"status"}), status, 20000);
        QTRY_COMPARE(announced.value("PlaybackStatus", "Stopped").toString(), status);
        QCOMPARE(changes.size(), playerChanges);
        QCOMPARE(m_preferences.selectedRadioStationId().value_or(QString()), selectedAfter);
        if (status == "Playing")
            QCOMPARE(m_radio.currentStation()->id, selectedAfter);
        if (!selectedAfter.isEmpty())
            QCOMPARE(playerctl({"metadata", "mpris:trackid"}),
                     QStringLiteral("'/de/sondik/Sondik/station/s%1'").arg(selectedAfter));
    }

    // Out of range both ways, as set by a panel.
    void volume()
    {
        m_preferences.setSelectedRadioStationId("plain");
        playerctl({"play"});
        QVERIFY(m_radio.player());
        for (auto [set, taken] : {std::pair{1.7, 1.0f}, std::pair{-0.5, 0.0f}}) {
            call("Set", {player, "Volume", QVariant::fromValue(QDBusVariant(set))});
            QCOMPARE(m_preferences.volume(), taken);
            QCOMPARE(m_radio.player()->volume(), taken);
            QCOMPARE(playerctl({"volume"}).toFloat(), taken);
            QTRY_COMPARE(announced.value("Volume").toDouble(), double(taken));
        }
    }

    void metadataFollowsTheSong()
    {
        m_server.setStreamTitle("Artist One - First Song");
        m_preferences.setSelectedRadioStationId("song");
        playerctl({"play"});
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({"metadata", "title"}), "First Song", 20000);
        QCOMPARE(playerctl({"metadata", "artist"}), "Artist One");
        QCOMPARE(playerctl({"metadata", "album"}), "Song FM");
        const QUrl art(playerctl({"metadata", "mpris:artUrl"}));
        QVERIFY(art.isLocalFile());
        QCOMPARE(QImage(art.toLocalFile()).size(),
                 QSize(StationArtwork::size, StationArtwork::size));

        // Changed mid-stream, as the station's playout does.
        m_server.setStreamTitle("Second Song");
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({"metadata", "title"}), "Second Song", 20000);
        QCOMPARE(playerctl({"metadata", "artist"}), "");

        // A stream without titles: the station's name.
        m_preferences.setSelectedRadioStationId("plain");
        playerctl({"stop"});
        playerctl({"play"});
        QTRY_COMPARE(playerctl({"metadata", "title"}), "Plain Tone");
        QCOMPARE(playerctl({"metadata", "artist"}), "");
    }
};

QTEST_MAIN(TestMprisService)
#include "tst_mprisservice.moc"
