#include "SondikApp.h"

#include "AppDelegate.h"
#include "DesktopWindowManager.h"
#include "MprisService.h"
#include "SingleInstance.h"
#include "StationArtwork.h"
#include "WindowStore.h"
#include "catalog/RadioStationStore.h"
#include "network/NetworkStatus.h"
#include "playback/MediaPlayer.h"
#include "playback/PlaybackController.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QProcessEnvironment>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>

namespace {
Q_LOGGING_CATEGORY(lcShell, "sondik.shell")

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

SondikApp::SondikApp(int& argc, char** argv)
{
    // Only through XWayland can the window be placed under the icon.
    const QByteArray platform =
        preferredPlatform(QProcessEnvironment::systemEnvironment(), argumentsOf(argc, argv));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);

    // A second start only asks the running instance to show its window.
    m_singleInstance = std::make_unique<SingleInstance>(SingleInstance::defaultDirectory(),
                                                        QStringLiteral(SONDIK_APP_ID));
    switch (m_singleInstance->claim()) {
    case SingleInstance::Role::Secondary:
        qCInfo(lcShell) << "Sondik is already running: showing its window";
        m_exitCode = 0;
        return;
    case SingleInstance::Role::Unanswered:
        qCCritical(lcShell).nospace()
            << "Sondik is already running (process " << m_singleInstance->otherProcessId()
            << ") but does not answer; not starting a second one";
        m_exitCode = 1;
        return;
    case SingleInstance::Role::Primary:
    case SingleInstance::Role::Unguarded:
        break;
    }

    m_application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sondik"));
    QApplication::setApplicationVersion(QStringLiteral(SONDIK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(SONDIK_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/AppIcon.svg")));
    // The window hides rather than closes; only quit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!platform.isEmpty())
        qCInfo(lcShell) << "Wayland session: running through XWayland so that the window can "
                           "open under the tray icon";

    m_appDelegate = std::make_unique<AppDelegate>();
    m_radioStationStore = std::make_unique<RadioStationStore>();
    m_radioPlayer = std::make_unique<RadioPlayer>();
    m_preferences = std::make_unique<Preferences>();
    m_showPreferences = false;
    // Kept for the life of the window; its views only observe it.
    m_networkStatus = std::make_unique<NetworkStatus>();

    // A volume change reaches the playing stream at once.
    RadioPlayer* radioPlayer = m_radioPlayer.get();
    m_preferences->setOnVolumeChanged([radioPlayer](float volume) {
        if (MediaPlayer* player = radioPlayer->player())
            player->setVolume(volume);
    });
    m_appDelegate->setOnWindowClosed([this] { setShowPreferences(false); });

    RadioStationStore* store = m_radioStationStore.get();
    m_playbackController = std::make_unique<PlaybackController>(
        *m_radioPlayer, *m_preferences, [store] { return store->radioStations(); });
    connect(m_playbackController.get(), &PlaybackController::nowPlayingChanged, this, [this] {
        const QString nowPlaying = m_playbackController->nowPlaying();
        m_appDelegate->setToolTip(nowPlaying.isEmpty() ? QStringLiteral("Sondik") : nowPlaying);
    });
    m_stationArtwork = std::make_unique<StationArtwork>();
    m_mpris = std::make_unique<MprisService>(*m_playbackController, *m_radioPlayer, *m_preferences,
                                             *m_stationArtwork);
    m_mpris->setOnRaise([this] { m_appDelegate->showWindow(); });
    m_mpris->setOnQuit([this] { quit(); });
    m_mpris->start();
    connect(m_appDelegate.get(), &AppDelegate::windowStyleChanged, this,
            &SondikApp::configureWindow);
    connect(m_singleInstance.get(), &SingleInstance::showRequested, m_appDelegate.get(),
            &AppDelegate::showWindow);
    m_singleInstance->listen();

    m_windowManager = DesktopWindowManager::create();
    createWindow();
    if (m_exitCode >= 0)
        return;
    QTimer::singleShot(0, m_appDelegate.get(), &AppDelegate::applicationDidFinishLaunching);
}

SondikApp::~SondikApp() = default;

int SondikApp::exec()
{
    if (m_exitCode >= 0)
        return m_exitCode;
    return m_application->exec();
}

void SondikApp::quit()
{
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void SondikApp::setShowPreferences(bool showPreferences)
{
    m_showPreferences = showPreferences;
    emit showPreferencesChanged();
}

void SondikApp::createWindow()
{
    m_engine = std::make_unique<QQmlEngine>();
    connect(m_engine.get(), &QQmlEngine::quit, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    m_view = std::make_unique<QQuickView>(m_engine.get(), nullptr);
    m_view->setResizeMode(QQuickView::SizeViewToRootObject);
    m_view->setTitle(QStringLiteral("Sondik"));
    m_view->setInitialProperties({
        {QStringLiteral("app"), QVariant::fromValue(this)},
        {QStringLiteral("radioStationStore"), QVariant::fromValue(m_radioStationStore.get())},
        {QStringLiteral("radioPlayer"), QVariant::fromValue(m_radioPlayer.get())},
        {QStringLiteral("preferences"), QVariant::fromValue(m_preferences.get())},
        {QStringLiteral("networkStatus"), QVariant::fromValue(m_networkStatus.get())},
    });
    m_view->setSource(QUrl(QStringLiteral("qrc:/Sondik/AppContainerView.qml")));
    QQuickItem* root = m_view->rootObject();
    if (m_view->status() != QQuickView::Ready || !root) {
        for (const QQmlError& error : m_view->errors())
            qCCritical(lcShell) << error.toString();
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
    m_appDelegate->setWindow(quickWindow);
    // A shown window means a click is coming: have the media backend ready.
    connect(quickWindow, &QWindow::visibleChanged, this, [](bool visible) {
        if (visible)
            preloadMediaPlayers();
    });
    if (!m_windowStore || m_windowStore->window() != quickWindow)
        configureWindow();
}

void SondikApp::configureWindow()
{
    auto* window = qobject_cast<QQuickWindow*>(m_appDelegate->window());
    if (!window)
        return;
    const WindowStore::Style style =
        m_appDelegate->windowStyle() == AppDelegate::WindowStyle::OrdinaryWindow
            ? WindowStore::Style::OrdinaryWindow
            : WindowStore::Style::TrayPopup;
    auto store = std::make_unique<WindowStore>(window, style, *m_windowManager);
    // The content shows once it has a configured window.
    m_view->rootObject()->setProperty("windowStore", QVariant::fromValue(store.get()));
    m_windowStore = std::move(store);
}
