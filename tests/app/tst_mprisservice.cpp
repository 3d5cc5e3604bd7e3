// The player on a private session bus as desktop clients meet it: playerctl
// and a second D-Bus connection, against a real player on loopback streams
// (a real Icecast whose song the test changes).
#include "IcecastServer.h"
#include "MediaFixtures.h"
#include "TestHttpServer.h"
#include "app/MprisService.h"
#include "app/StationArtwork.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/PlaybackController.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QString service = QLatin1String(MprisService::serviceName);
const QString path = QLatin1String(MprisService::objectPath);
const QString player = QLatin1String(MprisService::playerInterface);

} // namespace

class TestMprisService : public QObject {
    Q_OBJECT

public slots:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList&)
    {
        if (interface == player)
            announced.append(changed);
    }

private:
    MediaFixtures m_media;
    TestHttpServer m_server;
    IcecastServer m_icecast;
    QTemporaryDir m_dir;
    QList<RadioStation> m_stations;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<RadioPlayer> m_radio;
    std::unique_ptr<PlaybackController> m_controller;
    std::unique_ptr<StationArtwork> m_artwork;
    std::unique_ptr<MprisService> m_mpris;
    QDBusConnection m_client{QString()};
    QList<QVariantMap> announced;
    int m_raised = 0;
    int m_quits = 0;

    // Runs a client to the end, serving the bus meanwhile; its output.
    QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(program, arguments);
        if (!finished.wait(20000)) {
            process.kill();
            process.waitForFinished(5000);
            qWarning() << program << arguments << "did not end";
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    QString playerctl(const QStringList& arguments)
    {
        return run(QStringLiteral("playerctl"), QStringList{"-p", "sondik"} + arguments);
    }

    QVariant property(const QString& interface, const QString& name)
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << interface << name;
        // The local event loop lets this process answer its own question.
        const QDBusMessage reply = m_client.call(get, QDBus::BlockWithGui, 10000);
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    // Whether a client was told of this value of the property.
    bool wasAnnounced(const QString& name, const QVariant& value) const
    {
        return std::any_of(announced.begin(), announced.end(), [&](const QVariantMap& changed) {
            return changed.contains(name) && changed.value(name) == value;
        });
    }

private slots:
    void initTestCase()
    {
        qputenv("SONDIK_AUDIO_OUTPUT", "null");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        QVERIFY2(m_media.make(), qPrintable(m_media.error()));
        QVERIFY(m_server.listen());
        m_media.serve(m_server);
        QVERIFY2(m_icecast.start(QStringLiteral("/radio.mp3"), 440), qPrintable(m_icecast.error()));

        // A logo for the first station only.
        QFile logo(m_dir.filePath(QStringLiteral("ice.svg")));
        QVERIFY(logo.open(QIODevice::WriteOnly));
        logo.write("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                   "<circle cx='5' cy='5' r='5' fill='#e03030'/></svg>");
        logo.close();

        m_stations = {
            {"ice", "Icecast FM", "", "Loopback", std::nullopt, "ice",
             m_icecast.url(QStringLiteral("/radio.mp3")).toString()},
            {"plain", "Plain Tone", "", "Loopback", std::nullopt, "plain",
             m_server.url(QStringLiteral("/live.mp3")).toString()},
            {"aac", "AAC Radio", "", "Loopback", std::nullopt, "aac",
             m_server.url(QStringLiteral("/live.aac")).toString()},
        };
        m_preferences = std::make_unique<Preferences>(m_dir.filePath(QStringLiteral("prefs.conf")));
        m_radio = std::make_unique<RadioPlayer>(defaultMediaPlayerFactory(),
                                                QStringLiteral("unused.invalid"));
        // As the application wires it.
        RadioPlayer* radio = m_radio.get();
        m_preferences->setOnVolumeChanged([radio](float volume) {
            if (MediaPlayer* player = radio->player())
                player->setVolume(volume);
        });
        m_controller = std::make_unique<PlaybackController>(*m_radio, *m_preferences,
                                                            [this] { return m_stations; });
        m_artwork = std::make_unique<StationArtwork>(m_dir.filePath(QStringLiteral("cache/logos")),
                                                     m_dir.filePath(QStringLiteral("%1.svg")));
        m_mpris =
            std::make_unique<MprisService>(*m_controller, *m_radio, *m_preferences, *m_artwork);
        m_mpris->setOnRaise([this] { ++m_raised; });
        m_mpris->setOnQuit([this] { ++m_quits; });
        QVERIFY(m_mpris->start());

        m_client =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
        QVERIFY(m_client.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"), this,
                                 SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))));
    }

    void cleanupTestCase()
    {
        m_mpris.reset();
        m_controller.reset();
        m_radio.reset();
        QTRY_COMPARE_WITH_TIMEOUT(mediaPlayerCoreCount(), 0, 10000);
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    }

    void init()
    {
        m_controller->deselectStation();
        m_preferences->setVolume(0.0f); // no fade: the player's volume is what was last set
        QTRY_COMPARE(property(player, QStringLiteral("PlaybackStatus")).toString(),
                     QStringLiteral("Stopped"));
        announced.clear();
    }

    void rootInterface()
    {
        const QString root = QStringLiteral("org.mpris.MediaPlayer2");
        const QList<std::tuple<QString, const char*, QVariant>> properties = {
            {root, "Identity", "Sondik"},  {root, "DesktopEntry", SONDIK_APP_ID},
            {root, "CanQuit", true},       {root, "CanRaise", true},
            {root, "HasTrackList", false}, {player, "CanSeek", false},
            {player, "CanControl", true},
        };
        for (const auto& [interface, name, value] : properties)
            QCOMPARE(property(interface, QLatin1String(name)).toString(), value.toString());
        for (const QString& method : {QStringLiteral("Raise"), QStringLiteral("Quit")})
            m_client.asyncCall(QDBusMessage::createMethodCall(service, path, root, method));
        QTRY_COMPARE(m_raised, 1);
        QTRY_COMPARE(m_quits, 1);
    }

    void playPauseFollowsThePlayButton()
    {
        // Nothing selected: nothing to play.
        QCOMPARE(property(player, QStringLiteral("CanPlay")).toBool(), false);
        playerctl({"play"});
        QCOMPARE(playerctl({"status"}), QStringLiteral("Stopped"));
        QVERIFY(!m_radio->player());

        m_preferences->setSelectedRadioStationId(QStringLiteral("ice"));
        QTRY_VERIFY(wasAnnounced(QStringLiteral("CanPlay"), true));
        QVERIFY(wasAnnounced(QStringLiteral("CanPause"), true));
        playerctl({"play"});
        QVERIFY(m_radio->player());
        QCOMPARE(m_radio->currentStation()->id, QStringLiteral("ice"));
        QCOMPARE(playerctl({"status"}), QStringLiteral("Playing"));
        QTRY_VERIFY(wasAnnounced(QStringLiteral("PlaybackStatus"), QStringLiteral("Playing")));

        // A live stream's pause is the stop of the play button: the station stays.
        announced.clear();
        playerctl({"pause"});
        QVERIFY(!m_radio->player());
        QCOMPARE(m_radio->currentStation()->id, QStringLiteral("ice"));
        QCOMPARE(playerctl({"status"}), QStringLiteral("Stopped"));
        QTRY_VERIFY(wasAnnounced(QStringLiteral("PlaybackStatus"), QStringLiteral("Stopped")));

        announced.clear();
        playerctl({"play-pause"});
        QVERIFY(m_radio->player());
        QTRY_VERIFY(wasAnnounced(QStringLiteral("PlaybackStatus"), QStringLiteral("Playing")));
        const MediaPlayer* playing = m_radio->player();
        playerctl({"play"}); // already playing: the same player plays on
        QCOMPARE(m_radio->player(), playing);
        playerctl({"play-pause"});
        QVERIFY(!m_radio->player());
        QCOMPARE(m_preferences->selectedRadioStationId(), QStringLiteral("ice"));
    }

    void nextAndPreviousWrapAround()
    {
        m_preferences->setSelectedRadioStationId(QStringLiteral("ice"));
        // Each step is a click on the neighbour's row: selected, persisted, playing.
        const QList<QPair<QString, QString>> steps = {
            {"previous", "aac"}, {"previous", "plain"}, {"next", "aac"},
            {"next", "ice"},     {"next", "plain"},
        };
        for (const auto& [command, id] : steps) {
            announced.clear();
            playerctl({command});
            QCOMPARE(m_preferences->selectedRadioStationId(), id);
            QVERIFY(m_radio->player());
            QCOMPARE(m_radio->currentStation()->id, id);
            QTRY_VERIFY(!announced.isEmpty() &&
                        announced.last().contains(QStringLiteral("Metadata")));
            QCOMPARE(playerctl({"metadata", "mpris:trackid"}),
                     QStringLiteral("'/de/sondik/Sondik/station/s%1'").arg(id));
        }
        m_preferences->waitForWrites();
        QCOMPARE(Preferences(m_dir.filePath(QStringLiteral("prefs.conf"))).selectedRadioStationId(),
                 QStringLiteral("plain"));
    }

    void volumeReachesPreferencesAndPlayer()
    {
        m_preferences->setSelectedRadioStationId(QStringLiteral("plain"));
        playerctl({"play"});
        QVERIFY(m_radio->player());

        playerctl({"volume", "0.3"});
        QCOMPARE(m_preferences->volume(), 0.3f);
        QCOMPARE(m_radio->player()->volume(), 0.3f);
        QCOMPARE(playerctl({"volume"}).toDouble(), 0.3);
        QTRY_VERIFY(wasAnnounced(QStringLiteral("Volume"), double(0.3f)));

        playerctl({"volume", "1.7"});
        QCOMPARE(m_preferences->volume(), 1.0f);
        QCOMPARE(m_radio->player()->volume(), 1.0f);

        // A negative volume is silence.
        QDBusMessage set = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Set"));
        set << player << QStringLiteral("Volume") << QVariant::fromValue(QDBusVariant(-0.5));
        QDBusPendingCall call = m_client.asyncCall(set);
        QTRY_VERIFY(call.isFinished());
        QCOMPARE(m_preferences->volume(), 0.0f);
        QCOMPARE(m_radio->player()->volume(), 0.0f);
        QTRY_VERIFY(wasAnnounced(QStringLiteral("Volume"), 0.0));
        m_preferences->waitForWrites();
        QCOMPARE(Preferences(m_dir.filePath(QStringLiteral("prefs.conf"))).volume(), 0.0f);
    }

    void songTitleFollowsTheStream()
    {
        const QString mount = QStringLiteral("/radio.mp3");
        QVERIFY(m_icecast.setSong(mount, "Artist One - First Song"));
        m_preferences->setSelectedRadioStationId(QStringLiteral("ice"));
        playerctl({"play"});
        QTRY_COMPARE_WITH_TIMEOUT(m_radio->streamTitle(), QStringLiteral("Artist One - First Song"),
                                  20000);
        QCOMPARE(m_controller->nowPlaying(),
                 QStringLiteral("Icecast FM — Artist One - First Song"));
        QTRY_COMPARE(playerctl({"metadata", "title"}), QStringLiteral("First Song"));
        QCOMPARE(playerctl({"metadata", "artist"}), QStringLiteral("Artist One"));
        QCOMPARE(playerctl({"metadata", "album"}), QStringLiteral("Icecast FM"));
        QCOMPARE(playerctl({"metadata", "mpris:trackid"}),
                 QStringLiteral("'/de/sondik/Sondik/station/sice'"));
        const QUrl art(playerctl({"metadata", "mpris:artUrl"}));
        QVERIFY(art.isLocalFile());
        QCOMPARE(QImage(art.toLocalFile()).size(),
                 QSize(StationArtwork::size, StationArtwork::size));

        // Mid-stream changes, as the station's playout sends them.
        announced.clear();
        QVERIFY(m_icecast.setSong(mount, "Second Song"));
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({"metadata", "title"}), QStringLiteral("Second Song"),
                                  20000);
        QCOMPARE(playerctl({"metadata", "artist"}), QString());
        QVERIFY(!announced.isEmpty() && announced.last().contains(QStringLiteral("Metadata")));

        // Longer than a Shoutcast title can be: the tags of the stream itself.
        QProcess ffmpeg;
        ffmpeg.setWorkingDirectory(m_media.dir());
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-nostdin", "-loglevel", "error", "-y", "-i", "tone.mp3", "-c", "copy",
                      "-metadata", "title=" + QString(10000, QLatin1Char('x')), "long-title.mp3"});
        QVERIFY(ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0);
        m_server.add("/long-title.mp3", {.kind = TestHttpServer::Route::Stream,
                                         .body = m_media.file(QStringLiteral("long-title.mp3")),
                                         .contentType = "audio/mpeg",
                                         .bytesPerSecond = MediaFixtures::mp3BitRate / 8,
                                         .burst = MediaFixtures::mp3BitRate / 8});
        m_radio->play({"long", "Long Titles", "", "Loopback", std::nullopt, "long",
                       m_server.url(QStringLiteral("/long-title.mp3")).toString()},
                      0.0f);
        QTRY_VERIFY_WITH_TIMEOUT(m_radio->streamTitle().startsWith(QLatin1String("xxx")), 20000);
        QCOMPARE(m_radio->streamTitle().size(), RadioPlayer::maxStreamTitleLength);
        QVERIFY(m_radio->streamTitle().endsWith(QChar(0x2026)));
        QCOMPARE(playerctl({"metadata", "title"}), m_radio->streamTitle());

        // A stream without titles: the station's name, no artist.
        m_preferences->setSelectedRadioStationId(QStringLiteral("plain"));
        playerctl({"stop"});
        playerctl({"play"});
        QCOMPARE(m_radio->streamTitle(), QString());
        QTRY_COMPARE(playerctl({"metadata", "title"}), QStringLiteral("Plain Tone"));
        QCOMPARE(playerctl({"metadata", "artist"}), QString());
        QCOMPARE(m_controller->nowPlaying(), QStringLiteral("Plain Tone"));
    }
};

QTEST_MAIN(TestMprisService)
#include "tst_mprisservice.moc"
