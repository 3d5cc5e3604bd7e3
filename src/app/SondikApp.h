#pragma once

#include "playback/MediaPlayer.h"
#include "playback/PlaybackController.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class AppViewState;
class DesktopSession;
class LaunchAtLogin;
class MprisService;
class NetworkStatus;
class PlaybackResumer;
class Preferences;
class QApplication;
class QProcessEnvironment;
class QQmlEngine;
class QQuickView;
class QQuickWindow;
class RadioPlayer;
class RadioStationStore;
class SingleInstance;
class SleepMonitor;
class StationArtwork;
class TerminationSignals;
class TrayWindowController;
class Updater;
class WindowManager;
class WindowStore;

// The program: creates the shared stores once, hands them to the one window's
// views, and tears everything down in the reverse order.
class SondikApp : public QObject {
    Q_OBJECT

public:
    // mediaPlayerFactory: the player's backend (tests hand in a fake).
    SondikApp(int& argc, char** argv,
              MediaPlayerFactory mediaPlayerFactory = defaultMediaPlayerFactory());
    ~SondikApp() override;

    // The exit status: 0 after an orderly quit, 1 when this start was not to
    // run (no graphical session, an instance that does not answer).
    int exec();

    // The one orderly way out (tray menu, preferences panel, SIGTERM, SIGINT):
    // playback stops, the event loop ends, and everything is torn down in
    // reverse order of creation, the one-instance lock and socket last.
    void quit();

    TrayWindowController* trayWindowController() const { return m_trayWindowController.get(); }
    RadioStationStore* radioStationStore() const { return m_radioStationStore.get(); }
    RadioPlayer* radioPlayer() const { return m_radioPlayer.get(); }
    Preferences* preferences() const { return m_preferences.get(); }

    // The platform plugin to ask for before the application object exists:
    // "xcb" on a Wayland session with XWayland, when the user chose none, so
    // the window can be placed under the icon. Empty: leave the choice to Qt.
    static QByteArray preferredPlatform(const QProcessEnvironment& environment,
                                        const QStringList& arguments);
    // Whether a window can open: a display to reach, or a platform chosen
    // that needs none (offscreen and the like).
    static bool canShowWindows(const QProcessEnvironment& environment,
                               const QStringList& arguments);

private slots:
    // The container's onWindowCreated: the window is known.
    void windowCreated(QObject* window);

private:
    // The constructor's steps, in order. The first two end a start that is
    // not to run: no graphical session, or another instance.
    std::optional<QByteArray> choosePlatform(const QStringList& arguments);
    bool claimInstance();
    void createApplication(int& argc, char** argv, const QByteArray& platform);
    void createShell();
    void createStores(MediaPlayerFactory mediaPlayerFactory);
    void createDesktopServices();
    void connectSignals();
    // The window's views; m_exitCode is set when they do not load.
    void loadViews();
    void configureWindow();
    void stopPlayback();
    // The tray icon's wheel.
    void stepVolume(int steps);
    // What plays, or that the chosen station cannot be reached.
    void updateToolTip();

    // Declared in the order of creation; destroyed in the reverse order.
    std::unique_ptr<SingleInstance> m_singleInstance;
    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<TerminationSignals> m_terminationSignals;
    std::unique_ptr<TrayWindowController> m_trayWindowController;
    std::unique_ptr<RadioStationStore> m_radioStationStore;
    std::unique_ptr<RadioPlayer> m_radioPlayer;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<AppViewState> m_viewState;
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;
    std::unique_ptr<Updater> m_updater;
    std::unique_ptr<NetworkStatus> m_networkStatus;
    std::unique_ptr<PlaybackResumer> m_playbackResumer;
    std::unique_ptr<SleepMonitor> m_sleepMonitor;
    std::unique_ptr<PlaybackController> m_playbackController;
    std::unique_ptr<StationArtwork> m_stationArtwork;
    std::unique_ptr<MprisService> m_mpris;
    std::unique_ptr<WindowManager> m_windowManager;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickView> m_view;
    std::unique_ptr<WindowStore> m_windowStore;
    // Read once, with the first configured window.
    std::unique_ptr<DesktopSession> m_desktopSession;
    int m_exitCode = -1; // set when this start is not to run
};
