#include "SondikApp.h"

#include "AppLogging.h"

#include "DesktopSession.h"
#include "LaunchAtLogin.h"
#include "MprisService.h"
#include "ShellFactory.h"
#include "SingleInstance.h"
#include "SleepMonitor.h"
#include "StationArtwork.h"
#include "SwayWindowPlacer.h"
#include "TerminationSignals.h"
#include "TrayWindowController.h"
#include "Updater.h"
#include "WindowManager.h"
#include "WindowStore.h"
#include "catalog/RadioStationStore.h"
#include "network/NetworkStatus.h"
#include "playback/MediaPlayer.h"
#include "playback/PlaybackController.h"
#include "playback/PlaybackResumer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
#include "views/AppViewState.h"
#include "views/LogoImageProvider.h"
#include "views/Translations.h"

#include <QApplication>
#include <QIcon>
#include <QProcessEnvironment>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QTimer>

#include <cmath>
#include <optional>

namespace {

// One wheel step over the tray icon.
constexpr float volumeStep = 0.05f;

// Platforms that need no display of the user's.
const QStringList headlessPlatforms = {QStringLiteral("offscreen"), QStringLiteral("minimal"),
                                       QStringLiteral("vnc"),       QStringLiteral("eglfs"),
                                       QStringLiteral("linuxfb"),   QStringLiteral("vkkhrdisplay")};

// The platform the user chose (QT_QPA_PLATFORM or -platform), or empty.
QString chosenPlatform(const QProcessEnvironment& environment, const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        for (const QLatin1String option :
             {QLatin1String("-platform"), QLatin1String("--platform")}) {
            if (argument == option && i + 1 < arguments.size())
                return arguments.at(i + 1);
            if (argument.startsWith(option + QLatin1Char('=')))
                return argument.mid(option.size() + 1);
        }
    }
    return environment.value(QStringLiteral("QT_QPA_PLATFORM"));
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

QByteArray SondikApp::preferredPlatform(const QProcessEnvironment& environment,
                                        const QStringList& arguments)
{
    if (!environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform") ||
            argument.startsWith(QLatin1String("-platform=")) ||
            argument.startsWith(QLatin1String("--platform=")))
            return {};
    }
    const bool waylandSession =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (waylandSession && !environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return "xcb";
    return {};
}

bool SondikApp::canShowWindows(const QProcessEnvironment& environment, const QStringList& arguments)
{
    // The first of a list such as "wayland;xcb" is the one tried first.
    const QString platform = chosenPlatform(environment, arguments).section(QLatin1Char(';'), 0, 0);
    if (headlessPlatforms.contains(platform.section(QLatin1Char(':'), 0, 0)))
        return true;
    return !environment.value(QStringLiteral("DISPLAY")).isEmpty() ||
           !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

SondikApp::SondikApp(int& argc, char** argv, MediaPlayerFactory mediaPlayerFactory)
{
    const std::optional<QByteArray> platform = choosePlatform(argumentsOf(argc, argv));
    if (!platform || !claimInstance())
        return;
    createApplication(argc, argv, *platform);
    createShell();
    createStores(std::move(mediaPlayerFactory));
    createDesktopServices();
    connectSignals();
    loadViews();
    if (m_exitCode >= 0)
        return;
    QTimer::singleShot(0, m_trayWindowController.get(), &TrayWindowController::start);
}

std::optional<QByteArray> SondikApp::choosePlatform(const QStringList& arguments)
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Without this, Qt's platform plugin aborts the process with a core dump.
    if (!canShowWindows(environment, arguments)) {
        qCCritical(lcApp) << "Sondik needs a graphical session: neither DISPLAY nor "
                             "WAYLAND_DISPLAY is set";
        m_exitCode = 1;
        return std::nullopt;
    }
    // Only through XWayland can the window be placed under the icon.
    const QByteArray platform = preferredPlatform(environment, arguments);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    return platform;
}

bool SondikApp::claimInstance()
{
    // A second start only asks the running instance to show its window.
    m_singleInstance = std::make_unique<SingleInstance>(SingleInstance::defaultDirectory(),
                                                        QStringLiteral(SONDIK_APP_ID));
    switch (m_singleInstance->claim()) {
    case SingleInstance::Role::Secondary:
        qCInfo(lcApp) << "Sondik is already running: showing its window";
        m_exitCode = 0;
        return false;
    case SingleInstance::Role::Unanswered:
        qCCritical(lcApp).nospace()
            << "Sondik is already running (process " << m_singleInstance->otherProcessId()
            << ") but does not answer; not starting a second one";
        m_exitCode = 1;
        return false;
    case SingleInstance::Role::Primary:
    case SingleInstance::Role::Unguarded:
        break;
    }
    return true;
}

void SondikApp::createApplication(int& argc, char** argv, const QByteArray& platform)
{
    // A small window of cards needs no GPU: Qt Quick's software renderer
    // draws it in a third of the memory of OpenGL, with shorter frames on
    // software OpenGL. A backend the user names still wins.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") &&
        qEnvironmentVariableIsEmpty("QMLSCENE_DEVICE"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    m_application = std::make_unique<QApplication>(argc, argv);
    Translations::install(*m_application);
    QApplication::setApplicationName(QStringLiteral("Sondik"));
    QApplication::setApplicationVersion(QStringLiteral(SONDIK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(SONDIK_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/AppIcon.svg")));
    // The window hides rather than closes; only quit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    m_terminationSignals = std::make_unique<TerminationSignals>();
    connect(m_terminationSignals.get(), &TerminationSignals::received, this, &SondikApp::quit);
    // Every way out (the tray menu's too) stops playback before the teardown.
    connect(m_application.get(), &QCoreApplication::aboutToQuit, this, &SondikApp::stopPlayback);
    if (!platform.isEmpty())
        qCInfo(lcApp) << "Wayland session: running through XWayland so that the window can "
                         "open under the tray icon";
}

void SondikApp::createShell()
{
    m_trayWindowController = std::make_unique<TrayWindowController>(&createTrayIcon);
    m_trayWindowController->setOnWindowClosed([this] { m_viewState->setShowPreferences(false); });
    const QString swaySocket = SwayWindowPlacer::socketPathForSession();
    if (!swaySocket.isEmpty())
        m_trayWindowController->setWindowPlacer(std::make_unique<SwayWindowPlacer>(swaySocket));
}

void SondikApp::createStores(MediaPlayerFactory mediaPlayerFactory)
{
    m_radioStationStore = std::make_unique<RadioStationStore>();
    m_radioPlayer = std::make_unique<RadioPlayer>(std::move(mediaPlayerFactory),
                                                  QStringLiteral(SONDIK_TUNE_HOST));
    m_preferences = std::make_unique<Preferences>();
    m_viewState = std::make_unique<AppViewState>();
    m_launchAtLogin = std::make_unique<LaunchAtLogin>();
    m_updater = Updater::fromBuild();
    // Kept for the life of the window; its views only observe it.
    m_networkStatus = std::make_unique<NetworkStatus>();
    // Plays the chosen station again when the network returns after an outage
    // and, told by the sleep monitor, after the system wakes.
    m_playbackResumer =
        std::make_unique<PlaybackResumer>(*m_radioPlayer, *m_networkStatus, *m_preferences);
}

void SondikApp::createDesktopServices()
{
    m_sleepMonitor = std::make_unique<SleepMonitor>();
    // What the media controls, the tray icon and the views' keys mean.
    RadioStationStore* store = m_radioStationStore.get();
    m_playbackController = std::make_unique<PlaybackController>(
        *m_radioPlayer, *m_preferences, [store] { return store->radioStations(); });
    m_stationArtwork = std::make_unique<StationArtwork>();
    m_mpris = std::make_unique<MprisService>(*m_playbackController, *m_radioPlayer, *m_preferences,
                                             *m_stationArtwork);
    m_mpris->setOnRaise([this] { m_trayWindowController->showWindow(); });
    m_mpris->setOnQuit([this] { quit(); });
    m_mpris->start();
}

void SondikApp::connectSignals()
{
    connect(m_viewState.get(), &AppViewState::quitRequested, this, &SondikApp::quit);
    connect(m_viewState.get(), &AppViewState::closeRequested, m_trayWindowController.get(),
            &TrayWindowController::dismissWindow);
    connect(m_sleepMonitor.get(), &SleepMonitor::prepareForSleep, m_playbackResumer.get(),
            &PlaybackResumer::prepareForSleep);
    connect(m_playbackController.get(), &PlaybackController::nowPlayingChanged, this,
            &SondikApp::updateToolTip);
    connect(m_radioPlayer.get(), &RadioPlayer::unreachableStationIdChanged, this,
            &SondikApp::updateToolTip);
    TrayWindowController* controller = m_trayWindowController.get();
    connect(controller, &TrayWindowController::playPauseRequested, m_playbackController.get(),
            &PlaybackController::playPause);
    connect(controller, &TrayWindowController::volumeStepped, this, &SondikApp::stepVolume);
    connect(controller, &TrayWindowController::windowStyleChanged, this,
            &SondikApp::configureWindow);
    connect(m_singleInstance.get(), &SingleInstance::showRequested, controller,
            &TrayWindowController::showWindow);
    m_singleInstance->listen();
}

SondikApp::~SondikApp() = default;

int SondikApp::exec()
{
    if (m_exitCode >= 0)
        return m_exitCode;
    const int exitCode = m_application->exec();
    // A core made just before the quit is still on its way to its player.
    finishMediaPlayerHandOvers();
    return exitCode;
}

void SondikApp::quit()
{
    // Queued by Qt: a caller inside a view finishes before the loop ends.
    QCoreApplication::quit();
}

void SondikApp::stopPlayback()
{
    if (m_radioPlayer)
        m_radioPlayer->stop();
}

void SondikApp::updateToolTip()
{
    const std::optional<RadioStation> selected = m_playbackController->selectedStation();
    QString text = m_playbackController->nowPlaying();
    if (selected && selected->id == m_radioPlayer->unreachableStationId())
        text = QStringLiteral("%1 — %2").arg(selected->name, qtTrId("unreachable"));
    m_trayWindowController->setToolTip(text.isEmpty() ? QStringLiteral("Sondik") : text);
}

void SondikApp::stepVolume(int steps)
{
    // In hundredths, so that steps add up without drift.
    const float volume =
        std::round((m_preferences->volume() + volumeStep * float(steps)) * 100) / 100;
    m_playbackController->setVolume(volume);
}

void SondikApp::loadViews()
{
    m_windowManager = createWindowManager();
    m_engine = std::make_unique<QQmlEngine>();
    connect(m_engine.get(), &QQmlEngine::quit, this, &SondikApp::quit, Qt::QueuedConnection);
    // The engine owns the provider.
    m_engine->addImageProvider(QLatin1String(LogoImageProvider::providerId), new LogoImageProvider);
    m_view = std::make_unique<QQuickView>(m_engine.get(), nullptr);
    m_view->setResizeMode(QQuickView::SizeViewToRootObject);
    m_view->setTitle(QStringLiteral("Sondik"));
    m_view->setInitialProperties({
        {QStringLiteral("viewState"), QVariant::fromValue(m_viewState.get())},
        {QStringLiteral("radioStationStore"), QVariant::fromValue(m_radioStationStore.get())},
        {QStringLiteral("radioPlayer"), QVariant::fromValue(m_radioPlayer.get())},
        {QStringLiteral("preferences"), QVariant::fromValue(m_preferences.get())},
        {QStringLiteral("networkStatus"), QVariant::fromValue(m_networkStatus.get())},
        {QStringLiteral("launchAtLogin"), QVariant::fromValue(m_launchAtLogin.get())},
        {QStringLiteral("updater"), QVariant::fromValue(m_updater.get())},
    });
    m_view->setSource(QUrl(QStringLiteral("qrc:/Sondik/AppContainerView.qml")));
    QQuickItem* root = m_view->rootObject();
    if (m_view->status() != QQuickView::Ready || !root) {
        for (const QQmlError& error : m_view->errors())
            qCCritical(lcApp) << error.toString();
        m_exitCode = 1;
        return;
    }
    connect(root, SIGNAL(windowCreated(QObject*)), this, SLOT(windowCreated(QObject*)));
}

void SondikApp::windowCreated(QObject* window)
{
    auto* quickWindow = qobject_cast<QQuickWindow*>(window);
    if (!quickWindow)
        return;
    m_trayWindowController->setWindow(quickWindow);
    // A shown window means a click is coming: have the media backend ready.
    connect(quickWindow, &QWindow::visibleChanged, this, [](bool visible) {
        if (visible)
            preloadMediaPlayers();
        else
            releasePreparedMediaPlayers();
    });
    if (!m_windowStore || m_windowStore->window() != quickWindow)
        configureWindow();
}

void SondikApp::configureWindow()
{
    auto* window = qobject_cast<QQuickWindow*>(m_trayWindowController->window());
    if (!window)
        return;
    const WindowStore::Style style =
        m_trayWindowController->windowStyle() == TrayWindowController::WindowStyle::OrdinaryWindow
            ? WindowStore::Style::OrdinaryWindow
            : WindowStore::Style::TrayPopup;
    if (!m_desktopSession) {
        m_desktopSession =
            std::make_unique<DesktopSession>(DesktopSession::currentFacts(m_windowManager->name()));
        qCInfo(lcApp).noquote() << m_desktopSession->description();
    }
    auto store =
        std::make_unique<WindowStore>(window, style, m_desktopSession->popup(), *m_windowManager);
    // The content shows once it has a configured window.
    m_viewState->setWindowLook(store->isTranslucent(), store->hasBlurBehind(),
                               store->backgroundColor());
    m_windowStore = std::move(store);
}
