#include "AppDelegate.h"

#include "ShellLogging.h"
#include "WindowPlacement.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {
constexpr std::chrono::milliseconds launchDelay{200};
constexpr std::chrono::milliseconds trayCheckInterval{100};
} // namespace

AppDelegate::AppDelegate(StatusBarItemFactory statusBarItemFactory, QObject* parent)
    : QObject(parent)
    , m_statusBarItemFactory(std::move(statusBarItemFactory))
{
    m_placesWindow = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));

    m_trayCheck.setInterval(trayCheckInterval);
    connect(&m_trayCheck, &QTimer::timeout, this, &AppDelegate::checkTray);

    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationInactive && m_closesOnApplicationInactive)
                    applicationDidResignActive();
            });
}

AppDelegate::~AppDelegate()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void AppDelegate::setWindow(QWindow* window)
{
    if (m_window == window)
        return;
    if (m_window) {
        m_window->removeEventFilter(this);
        disconnect(m_window, nullptr, this, nullptr);
    }
    m_window = window;
    if (!m_window)
        return;
    m_window->installEventFilter(this);
    connect(m_window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (m_statusBarItem)
            m_statusBarItem->setWindowShown(visible);
    });
    // The placement depends on the size: follow a content that grows.
    const auto replace = [this] {
        if (m_window->isVisible() && m_windowStyle == WindowStyle::TrayPopup && m_placesWindow)
            placeWindow();
    };
    connect(m_window, &QWindow::widthChanged, this, replace);
    connect(m_window, &QWindow::heightChanged, this, replace);
}

void AppDelegate::setWindowPlacer(std::function<void(QPoint)> placer)
{
    m_windowPlacer = std::move(placer);
    m_placesWindow = true;
}

void AppDelegate::applicationDidFinishLaunching()
{
    if (!m_placesWindow)
        qCInfo(lcShell) << "Running on native Wayland: the compositor places the window, not "
                           "under the tray icon";
    setUpStatusBarItem();
    QTimer::singleShot(launchDelay, this, &AppDelegate::showWindow);
}

void AppDelegate::applicationDidResignActive()
{
    // An ordinary window stays where the user left it.
    if (m_windowStyle == WindowStyle::OrdinaryWindow)
        return;
    if (m_window && m_window->isVisible())
        m_closedByDeactivation.start();
    closeWindow();
}

void AppDelegate::setUpStatusBarItem()
{
    m_statusBarItem = m_statusBarItemFactory();
    if (!m_statusBarItem)
        return;
    connect(m_statusBarItem.get(), &StatusBarItem::clicked, this,
            &AppDelegate::statusBarButtonClicked);
    connect(m_statusBarItem.get(), &StatusBarItem::quitRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    connect(m_statusBarItem.get(), &StatusBarItem::playPauseRequested, this,
            &AppDelegate::playPauseRequested);
    connect(m_statusBarItem.get(), &StatusBarItem::volumeStepped, this,
            &AppDelegate::volumeStepped);
    m_statusBarItem->setWindowShown(m_window && m_window->isVisible());
    m_statusBarItem->setToolTip(m_toolTip);

    if (m_statusBarItem->isAvailable())
        return;
    // A tray host may start a little after us at the start of a session.
    m_waitingForTray = true;
    m_trayWaited.start();
    m_trayCheck.start();
}

void AppDelegate::checkTray()
{
    if (m_statusBarItem && m_statusBarItem->isAvailable()) {
        m_trayCheck.stop();
        m_waitingForTray = false;
        if (std::exchange(m_showWhenTrayKnown, false))
            showWindow();
        return;
    }
    if (std::chrono::milliseconds(m_trayWaited.elapsed()) < m_trayWaitTime)
        return;
    m_trayCheck.stop();
    m_waitingForTray = false;
    useOrdinaryWindow();
    if (std::exchange(m_showWhenTrayKnown, false))
        showWindow();
}

void AppDelegate::useOrdinaryWindow()
{
    qCInfo(lcShell) << "No system tray is available: Sondik shows an ordinary window that "
                       "stays open, and closing it quits";
    m_windowStyle = WindowStyle::OrdinaryWindow;
    emit windowStyleChanged();
}

void AppDelegate::showWindow()
{
    if (!m_window)
        return;
    if (m_waitingForTray) {
        // Where it goes and how it behaves depend on the tray.
        m_showWhenTrayKnown = true;
        return;
    }
    m_pointerAtShow = QCursor::pos();
    if (m_windowStyle == WindowStyle::TrayPopup && m_placesWindow)
        placeWindow();
    m_window->show();
    m_window->raise();
    if (!(m_window->flags() & Qt::WindowDoesNotAcceptFocus))
        m_window->requestActivate();
}

void AppDelegate::placeWindow()
{
    QList<WindowPlacement::Screen> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({screen->geometry(), screen->availableGeometry()});
    const QRect icon = m_statusBarItem ? m_statusBarItem->geometry() : QRect();
    if (m_windowPlacer) {
        // Of a fixed size, so that the compositor floats it at that size
        // rather than tiling it first (sway on native Wayland).
        m_window->setMinimumSize(m_window->size());
        m_window->setMaximumSize(m_window->size());
    }
    const QPoint position =
        WindowPlacement::windowPosition(icon, m_pointerAtShow, m_window->size(), screens);
    m_window->setPosition(position);
    if (m_windowPlacer)
        m_windowPlacer(position);
}

void AppDelegate::hideWindow()
{
    m_showWhenTrayKnown = false;
    if (m_window)
        m_window->hide();
}

void AppDelegate::closeWindow()
{
    hideWindow();
    if (m_onWindowClosed)
        m_onWindowClosed();
}

void AppDelegate::statusBarButtonClicked()
{
    if (!m_window)
        return;
    // Hosts whose panel takes the focus on a press deliver the click after
    // that took the window away: it is the click that closed it.
    const bool sameClick = m_closedByDeactivation.isValid() &&
                           !m_closedByDeactivation.hasExpired(sameClickTime.count());
    m_closedByDeactivation.invalidate();
    if (m_window->isVisible())
        closeWindow();
    else if (!sameClick)
        showWindow();
}

void AppDelegate::setToolTip(const QString& text)
{
    m_toolTip = text;
    if (m_statusBarItem)
        m_statusBarItem->setToolTip(text);
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // Only the window manager's close request (Alt+F4 and the like); a close
    // sent while the application quits must go through.
    if (watched == m_window && event->type() == QEvent::Close && event->spontaneous()) {
        if (m_windowStyle == WindowStyle::OrdinaryWindow) {
            // The window is the whole program here.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            return false;
        }
        // A tray popup only hides: the icon brings back the same window.
        event->ignore();
        closeWindow();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
