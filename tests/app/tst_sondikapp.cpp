#include "app/AppDelegate.h"
#include "app/SondikApp.h"
#include "catalog/RadioStationStore.h"
#include "playback/FakeMediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QtCore/private/qhooks_p.h>
#include <QtQml/qqmlextensionplugin.h>

#include <csignal>
#include <cstdio>
#include <mutex>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

namespace {

const char* childVariable = "SONDIK_TEST_APP_CHILD";
const char* realCoreVariable = "SONDIK_TEST_APP_REAL_CORE";
QString programPath; // this test's own executable, for its child mode

// Every QObject made while recording, in the order of creation (the QML
// engine makes some on a thread of its own).
std::mutex createdMutex;
QList<QObject*> created;
void recordCreation(QObject* object)
{
    std::lock_guard lock(createdMutex);
    created.append(object);
}

QStringList filesIn(const QString& directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::System | QDir::Hidden);
}

MediaPlayerFactory fakeFactory(int* alive)
{
    return [alive](const QUrl& url) {
        return std::make_unique<FakeMediaPlayer>(url, alive);
    };
}

QProcessEnvironment environmentOf(const QStringList& variables)
{
    QProcessEnvironment environment;
    for (const QString& variable : variables) {
        const qsizetype equals = variable.indexOf(QLatin1Char('='));
        environment.insert(variable.left(equals), variable.mid(equals + 1));
    }
    return environment;
}

// Child mode: a whole Sondik playing, with a fake backend or a real mpv core
// on a loopback server that never answers, until a signal ends it. It says
// how many players were alive when the event loop ended and how many media
// cores were left after the teardown.
int runChild(int argc, char** argv)
{
    const bool realCore = qEnvironmentVariableIsSet(realCoreVariable);
    int alive = 0;
    int exitCode = 0;
    {
        SondikApp app(argc, argv, realCore ? defaultMediaPlayerFactory() : fakeFactory(&alive));
        QTcpServer silent;
        RadioStation station = app.radioStationStore()->radioStations().first();
        if (realCore) {
            if (!silent.listen(QHostAddress::LocalHost))
                return 2;
            station.streamUrl = QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort());
        }
        const auto players = [&] {
            return realCore ? mediaPlayerCoreCount() : alive;
        };
        app.radioPlayer()->play(station, 0.5f);
        QTimer::singleShot(0, [&] {
            std::printf("ready, players %d\n", players());
            std::fflush(stdout);
        });
        exitCode = app.exec();
        std::printf("loop ended, players %d\n",
                    realCore ? int(bool(app.radioPlayer()->player())) : alive);
        std::fflush(stdout);
    }
    std::printf("torn down, media cores %d\n", mediaPlayerCoreCount());
    return exitCode;
}

} // namespace

class TestSondikApp : public QObject {
    Q_OBJECT

private slots:
    // Which platform to ask for, and whether a window can open at all.
    void platform_data()
    {
        QTest::addColumn<QStringList>("variables"); // NAME=value
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("preferred");
        QTest::addColumn<bool>("canShowWindows");

        const QStringList plain{QStringLiteral("sondik")};
        QTest::newRow("X11 session")
            << QStringList{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"} << plain << QByteArray() << true;
        QTest::newRow("Wayland with XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << plain << QByteArray("xcb") << true;
        QTest::newRow("Wayland display without session type")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"} << plain << QByteArray("xcb")
            << true;
        QTest::newRow("Wayland without XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"} << plain
            << QByteArray() << true;
        QTest::newRow("user chose a platform")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}
            << plain << QByteArray() << true;
        QTest::newRow("empty choice is no choice")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM="} << plain
            << QByteArray("xcb") << true;
        QTest::newRow("platform on the command line")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << QStringList{"sondik", "-platform", "wayland"} << QByteArray() << true;
        QTest::newRow("platform= on the command line")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << QStringList{"sondik", "--platform=wayland"} << QByteArray() << true;
        QTest::newRow("over ssh") << QStringList{"SSH_CONNECTION=x"} << plain << QByteArray()
                                  << false;
        QTest::newRow("empty DISPLAY") << QStringList{"DISPLAY="} << plain << QByteArray() << false;
        QTest::newRow("xcb chosen, no display")
            << QStringList{"QT_QPA_PLATFORM=xcb"} << plain << QByteArray() << false;
        QTest::newRow("offscreen chosen")
            << QStringList{"QT_QPA_PLATFORM=offscreen"} << plain << QByteArray() << true;
        QTest::newRow("vnc with options")
            << QStringList{"QT_QPA_PLATFORM=vnc:size=800x600"} << plain << QByteArray() << true;
        QTest::newRow("offscreen on the command line")
            << QStringList{} << QStringList{"sondik", "-platform", "offscreen"} << QByteArray()
            << true;
        QTest::newRow("command line wins over the variable")
            << QStringList{"QT_QPA_PLATFORM=offscreen"} << QStringList{"sondik", "--platform=xcb"}
            << QByteArray() << false;
    }

    void platform()
    {
        QFETCH(QStringList, variables);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, preferred);
        QFETCH(bool, canShowWindows);
        const QProcessEnvironment environment = environmentOf(variables);
        QCOMPARE(SondikApp::preferredPlatform(environment, arguments), preferred);
        QCOMPARE(SondikApp::canShowWindows(environment, arguments), canShowWindows);
    }

    // Before the mend Qt's platform plugin aborted this process.
    void withoutAGraphicalSessionEndsWithOneLine()
    {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        QTest::ignoreMessage(QtCriticalMsg, "Sondik needs a graphical session: neither DISPLAY "
                                            "nor WAYLAND_DISPLAY is set");
        int argc = 1;
        char arg0[] = "sondik";
        char* argv[] = {arg0, nullptr};
        int exitCode = -1;
        {
            SondikApp app(argc, argv);
            exitCode = app.exec();
        }
        qputenv("QT_QPA_PLATFORM", platform);
        QCOMPARE(exitCode, 1);
        QVERIFY(!QCoreApplication::instance());
    }

    void storesAndHooks()
    {
        QTemporaryDir runtime, config;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        int argc = 1;
        char arg0[] = "sondik";
        char* argv[] = {arg0, nullptr};
        int alive = 0;

        created.clear();
        qtHookData[QHooks::AddQObject] = reinterpret_cast<quintptr>(&recordCreation);
        auto app = std::make_unique<SondikApp>(argc, argv, fakeFactory(&alive));
        qtHookData[QHooks::AddQObject] = 0;

        // Created in this order (an address's last creation is its object).
        QList<qsizetype> positions;
        {
            std::lock_guard lock(createdMutex);
            for (QObject* store :
                 std::initializer_list<QObject*>{app->appDelegate(), app->radioStationStore(),
                                                 app->radioPlayer(), app->preferences()})
                positions.append(created.lastIndexOf(store));
            created.clear();
        }
        QVERIFY(!positions.contains(-1));
        QVERIFY2(std::is_sorted(positions.cbegin(), positions.cend()), "created out of order");

        // A close of the window always hides the preferences panel.
        QTRY_VERIFY_WITH_TIMEOUT(app->appDelegate()->window(), 30000);
        QWindow* window = app->appDelegate()->window();
        app->setShowPreferences(true);
        app->appDelegate()->closeWindow();
        QCOMPARE(app->showPreferences(), false);

        // A volume change reaches the playing stream at once.
        const RadioStation station = app->radioStationStore()->radioStations().first();
        app->radioPlayer()->play(station, 0.5f);
        auto* player = qobject_cast<FakeMediaPlayer*>(app->radioPlayer()->player());
        QVERIFY(player);
        // The content installs the hook when it appears, which may be a few
        // turns of the event loop after the window exists.
        const auto volumeReachesPlayer = [&] {
            app->preferences()->setVolume(0.25f);
            return player->volumes.last() == 0.25f;
        };
        QTRY_VERIFY_WITH_TIMEOUT(volumeReachesPlayer(), 30000);

        // Torn down in reverse, the window (and with it every view) first.
        QStringList destroyed;
        const auto note = [&destroyed](QObject* object, const QString& name) {
            connect(object, &QObject::destroyed, object, [&destroyed, name] { destroyed << name; });
        };
        note(window, QStringLiteral("window"));
        note(app->preferences(), QStringLiteral("Preferences"));
        note(player, QStringLiteral("media player"));
        note(app->radioPlayer(), QStringLiteral("RadioPlayer"));
        note(app->radioStationStore(), QStringLiteral("RadioStationStore"));
        note(app->appDelegate(), QStringLiteral("AppDelegate"));
        app.reset();
        QCOMPARE(destroyed, (QStringList{"window", "Preferences", "media player", "RadioPlayer",
                                         "RadioStationStore", "AppDelegate"}));
        QCOMPARE(alive, 0);
        QCOMPARE(filesIn(runtime.path()), QStringList());
    }

    void terminationSignalsQuitInOrder_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("realCore");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGTERM, mpv core") << SIGTERM << true;
    }

    void terminationSignalsQuitInOrder()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, realCore);
        QTemporaryDir runtime, config;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(childVariable, QStringLiteral("1"));
        if (realCore)
            environment.insert(realCoreVariable, QStringLiteral("1"));
        environment.insert(QStringLiteral("SONDIK_AUDIO_OUTPUT"), QStringLiteral("null"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(programPath, {});
        QVERIFY(child.waitForStarted(30000));
        QElapsedTimer waited;
        waited.start();
        while (!child.canReadLine() && waited.elapsed() < 60000)
            child.waitForReadyRead(1000);
        QCOMPARE(child.readLine().trimmed(), QByteArray("ready, players 1"));
        QCOMPARE(filesIn(runtime.path()).size(), 2);

        ::kill(pid_t(child.processId()), signalNumber);
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        // Playback stopped before the teardown; lock and socket gone after it.
        QCOMPARE(child.readAllStandardOutput().trimmed(),
                 QByteArray("loop ended, players 0\ntorn down, media cores 0"));
        QCOMPARE(filesIn(runtime.path()), QStringList());
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(childVariable))
        return runChild(argc, argv);
    programPath = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath();
    TestSondikApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sondikapp.moc"
