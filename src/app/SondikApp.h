#pragma once

#include "playback/PlaybackController.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <memory>

class AppDelegate;
class DesktopWindowManager;
class MprisService;
class NetworkStatus;
class Preferences;
class QApplication;
class QProcessEnvironment;
class QQmlEngine;
class QQuickView;
class QQuickWindow;
class RadioPlayer;
class RadioStationStore;
class SingleInstance;
class StationArtwork;
class WindowStore;

// The program: creates the shared stores once, hands them to the one window's
// views, and tears everything down in the reverse order.
class SondikApp : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The program has one SondikApp")
    // Whether the window shows the preferences panel; false after each close.
    Q_PROPERTY(bool showPreferences READ showPreferences WRITE setShowPreferences NOTIFY
                   showPreferencesChanged)
    // What the controls mean; the views call it as the media keys do.
    Q_PROPERTY(PlaybackController* playbackController READ playbackController CONSTANT)

public:
    SondikApp(int& argc, char** argv);
    ~SondikApp() override;

    int exec();

    bool showPreferences() const { return m_showPreferences; }
    void setShowPreferences(bool showPreferences);
    PlaybackController* playbackController() const { return m_playbackController.get(); }

    // Ends the program in order, once the event loop is back.
    Q_INVOKABLE void quit();

    // The platform plugin to ask for before the application object exists:
    // "xcb" on a Wayland session with XWayland, when the user chose none, so
    // the window can be placed under the icon. Empty: leave the choice to Qt.
    static QByteArray preferredPlatform(const QProcessEnvironment& environment,
                                        const QStringList& arguments);

signals:
    void showPreferencesChanged();

private slots:
    // The container's onWindowCreated: the window is known.
    void windowCreated(QObject* window);

private:
    void createWindow();
    void configureWindow();

    // Declared in the order of creation; destroyed in the reverse order.
    std::unique_ptr<SingleInstance> m_singleInstance;
    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<AppDelegate> m_appDelegate;
    std::unique_ptr<RadioStationStore> m_radioStationStore;
    std::unique_ptr<RadioPlayer> m_radioPlayer;
    std::unique_ptr<Preferences> m_preferences;
    bool m_showPreferences = false;
    std::unique_ptr<NetworkStatus> m_networkStatus;
    std::unique_ptr<PlaybackController> m_playbackController;
    std::unique_ptr<StationArtwork> m_stationArtwork;
    std::unique_ptr<MprisService> m_mpris;
    std::unique_ptr<DesktopWindowManager> m_windowManager;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickView> m_view;
    std::unique_ptr<WindowStore> m_windowStore;
    int m_exitCode = -1; // set when this start is not to run
};
