#include "app/ShellFactory.h"
#include "app/SondikApp.h"
#include "catalog/RadioStationStore.h"
#include "playback/FakeMediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
#include "shell/StatusNotifierItem.h"
#include "shell/TrayIcon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

#include <csignal>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

// A panel's watcher that takes every item.
class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public slots:
    void RegisterStatusNotifierItem(const QString&) {}
};

namespace {

const char* childVariable = "SONDIK_TEST_APP_CHILD";
const char* realCoreVariable = "SONDIK_TEST_APP_REAL_CORE";
QString programPath; // this test's own executable, for its child mode
// The command line of a Sondik made in this process.
int appArgc = 1;
char appArg0[] = "sondik";
char* appArgv[] = {appArg0, nullptr};

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

// Child mode: a whole Sondik playing a loopback stream that never answers,
// with a fake backend or a real mpv core, until a signal ends it. It says
// whether it still played when the event loop ended and how many media cores
// were left after the teardown.
int runChild(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int exitCode = 0;
    {
        SondikApp app(argc, argv,
                      qEnvironmentVariableIsSet(realCoreVariable) ? defaultMediaPlayerFactory()
                                                                  : fakeFactory(nullptr));
        QTcpServer silent;
        if (!silent.listen(QHostAddress::LocalHost))
            return 2;
        RadioStation station = app.radioStationStore()->radioStations().first();
        station.streamUrl = QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort());
        app.radioPlayer()->play(station, 0.5f);
        const auto playing = [&] {
            return int(bool(app.radioPlayer()->player()));
        };
        QTimer::singleShot(0, [&] { std::printf("ready, playing %d\n", playing()); });
        exitCode = app.exec();
        std::printf("loop ended, playing %d\n", playing());
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
        QTest::addColumn<QString>("variables"); // NAME=value ...
        QTest::addColumn<QString>("arguments"); // after the program's name
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<bool>("canShowWindows");
        const auto row = [](const char* name, const char* variables, const char* arguments,
                            const char* preferred, bool canShowWindows) {
            QTest::newRow(name) << variables << arguments << preferred << canShowWindows;
        };
        row("X11 session", "XDG_SESSION_TYPE=x11 DISPLAY=:0", "", "", true);
        row("Wayland with XWayland", "XDG_SESSION_TYPE=wayland DISPLAY=:0", "", "xcb", true);
        row("no XWayland", "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=w", "", "", true);
        row("user chose a platform", "WAYLAND_DISPLAY=w DISPLAY=:0 QT_QPA_PLATFORM=wayland", "", "",
            true);
        row("-platform", "WAYLAND_DISPLAY=w DISPLAY=:0", "-platform wayland", "", true);
        row("empty DISPLAY", "DISPLAY=", "", "", false);
        row("vnc with options", "QT_QPA_PLATFORM=vnc:size=800x600", "", "", true);
        row("command line wins", "QT_QPA_PLATFORM=offscreen", "--platform=xcb", "", false);
    }

    void platform()
    {
        QFETCH(QString, variables);
        QFETCH(QString, arguments);
        QFETCH(QString, preferred);
        QFETCH(bool, canShowWindows);
        QProcessEnvironment environment;
        for (const QString& variable : variables.split(' ', Qt::SkipEmptyParts))
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        const QStringList argv = QStringList{"sondik"} + arguments.split(' ', Qt::SkipEmptyParts);
        QCOMPARE(QString::fromLatin1(SondikApp::preferredPlatform(environment, argv)), preferred);
        QCOMPARE(SondikApp::canShowWindows(environment, argv), canShowWindows);
    }

    // A StatusNotifierItem where a watcher runs and the item can be put on the
    // bus; else Qt's tray icon, rather than an item no panel can reach.
    void trayIconKinds()
    {
        QApplication application(appArgc, appArgv);
        const auto isItem = [](const std::unique_ptr<TrayIcon>& icon) {
            return qobject_cast<StatusNotifierItem*>(icon.get()) != nullptr;
        };
        QVERIFY(!isItem(createTrayIcon()));

        QDBusConnection panel =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
        StatusNotifierWatcher watcher;
        QVERIFY(panel.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                     QDBusConnection::ExportAllSlots));
        QVERIFY(panel.registerService(QLatin1String(StatusNotifierItem::watcherService)));
        const std::unique_ptr<TrayIcon> item = createTrayIcon();
        QVERIFY(isItem(item));
        QTRY_VERIFY(item->isAvailable());

        // The application's deactivation right as a panel asks for the menu
        // (the window the last click hid losing the focus) does not close
        // it; one after it has settled does.
        QEvent deactivation(QEvent::ApplicationDeactivate);
        static_cast<StatusNotifierItem*>(item.get())->ContextMenu(0, 0);
        QCoreApplication::sendEvent(&application, &deactivation);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::qWait(400);
        QCoreApplication::sendEvent(&application, &deactivation);
        QVERIFY(!QApplication::activePopupWidget());

        // The paths are the first item's.
        const std::unique_ptr<TrayIcon> second = createTrayIcon();
        QVERIFY(!isItem(second));
        QCOMPARE(
            QDBusConnection::sessionBus().objectRegisteredAt(QStringLiteral("/StatusNotifierItem")),
            item.get());
        panel.unregisterService(QLatin1String(StatusNotifierItem::watcherService));
        QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
    }

    // Before the mend Qt's platform plugin aborted this process.
    void withoutAGraphicalSessionEndsCleanly()
    {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            qunsetenv(variable);
        QCOMPARE(SondikApp(appArgc, appArgv).exec(), 1);
        qputenv("QT_QPA_PLATFORM", platform);
        QVERIFY(!QCoreApplication::instance());
    }

    void hooksAndTeardown()
    {
        QTemporaryDir runtime, config;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        int alive = 0;
        auto app = std::make_unique<SondikApp>(appArgc, appArgv, fakeFactory(&alive));

        // A volume change reaches the playing stream at once.
        app->radioPlayer()->play(app->radioStationStore()->radioStations().first(), 0.5f);
        auto* player = qobject_cast<FakeMediaPlayer*>(app->radioPlayer()->player());
        QVERIFY(player);
        // The content installs the hook when it appears, which may be a few
        // turns of the event loop after the window exists.
        const auto volumeReachesPlayer = [&] {
            app->preferences()->setVolume(0.25f);
            return player->volumes.last() == 0.25f;
        };
        QTRY_VERIFY_WITH_TIMEOUT(volumeReachesPlayer(), 30000);
        // Qt Quick Controls' QML module (a megabyte and more) loads when the
        // search, the preferences or the update dialog first open, not with
        // the window.
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("libqtquickcontrols2plugin.so"));
        app.reset();
        QCOMPARE(alive, 0);
    }

    // A termination signal, or Quit from the desktop's media controls (0).
    void quitsInOrder_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("realCore");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGTERM, mpv core") << SIGTERM << true;
        QTest::newRow("MPRIS Quit") << 0 << false;
    }

    void quitsInOrder()
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
        // No application object here between the tests: no event loop either.
        for (QDeadlineTimer deadline(60000); !child.canReadLine() && !deadline.hasExpired();)
            child.waitForReadyRead(1000);
        QCOMPARE(child.readLine().trimmed(), QByteArray("ready, playing 1"));
        QCOMPARE(filesIn(runtime.path()).size(), 2);

        if (signalNumber) {
            ::kill(pid_t(child.processId()), signalNumber);
        } else {
            QDBusInterface root(QStringLiteral("org.mpris.MediaPlayer2.sondik"),
                                QStringLiteral("/org/mpris/MediaPlayer2"),
                                QStringLiteral("org.mpris.MediaPlayer2"));
            QCOMPARE(root.call(QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
        }
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        // Playback stopped before the teardown; lock and socket gone after it.
        QCOMPARE(child.readAllStandardOutput().trimmed(),
                 QByteArray("loop ended, playing 0\ntorn down, media cores 0"));
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
