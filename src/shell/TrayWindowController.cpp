#include "TrayWindowController.h"

#include "ShellLogging.h"
#include "WindowPlacement.h"
#include "WindowPlacer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace {
constexpr std::chrono::milliseconds launchDelay{200};
constexpr std::chrono::milliseconds trayCheckInterval{100};
// A window's largest size in Qt: no maximum.
constexpr int anySize = (1 << 24) - 1;
} // namespace

TrayWindowController::TrayWindowController(TrayIconFactory trayIconFactory, QObject* parent)
    : QObject(parent)
    , m_trayIconFactory(std::move(trayIconFactory))
    , m_qtPlacesWindow(!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
    , m_placesWindow(m_qtPlacesWindow)
{
    m_trayCheck.setInterval(trayCheckInterval);
    connect(&m_trayCheck, &QTimer::timeout, this, &TrayWindowController::checkTray);

    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationInactive && m_closesOnApplicationInactive)
                    onDeactivated();
            });
}

TrayWindowController::~TrayWindowController()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void TrayWindowController::setWindow(QWindow* window)
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
        if (m_trayIcon)
            m_trayIcon->setWindowShown(visible);
    });
    // The placement depends on the size: follow a content that grows.
    const auto replace = [this] {
        if (m_window->isVisible() && m_windowStyle == WindowStyle::TrayPopup && m_placesWindow)
            placeWindow();
    };
    connect(m_window, &QWindow::widthChanged, this, replace);
    connect(m_window, &QWindow::heightChanged, this, replace);
}

void TrayWindowController::setWindowPlacer(std::unique_ptr<WindowPlacer> placer)
{
    m_windowPlacer = std::move(placer);
    m_placesWindow = true;
    m_closesOnApplicationInactive = false;
    connect(m_windowPlacer.get(), &WindowPlacer::otherWindowFocused, this,
            &TrayWindowController::onDeactivated);
    // Not inside the placer's own signal.
    connect(m_windowPlacer.get(), &WindowPlacer::failed, this,
            &TrayWindowController::dropWindowPlacer, Qt::QueuedConnection);
    m_windowPlacer->start();
}

void TrayWindowController::dropWindowPlacer()
{
    m_windowPlacer.reset();
    m_placesWindow = m_qtPlacesWindow;
    m_closesOnApplicationInactive = true;
    if (m_window) {
        m_window->setMinimumSize(QSize());
        m_window->setMaximumSize(QSize(anySize, anySize));
    }
}

void TrayWindowController::start()
{
    if (!m_placesWindow)
        qCInfo(lcShell) << "Running on native Wayland: the compositor places the window, not "
                           "under the tray icon";
    setUpTrayIcon();
    QTimer::singleShot(launchDelay, this, &TrayWindowController::showWindow);
}

void TrayWindowController::onDeactivated()
{
    // An ordinary window stays where the user left it.
    if (m_windowStyle == WindowStyle::OrdinaryWindow)
        return;
    if (m_window && m_window->isVisible())
        m_closedByDeactivation.start();
    closeWindow();
}

void TrayWindowController::setUpTrayIcon()
{
    m_trayIcon = m_trayIconFactory();
    if (!m_trayIcon)
        return;
    connect(m_trayIcon.get(), &TrayIcon::clicked, this, &TrayWindowController::iconClicked);
    connect(m_trayIcon.get(), &TrayIcon::quitRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    connect(m_trayIcon.get(), &TrayIcon::playPauseRequested, this,
            &TrayWindowController::playPauseRequested);
    connect(m_trayIcon.get(), &TrayIcon::volumeStepped, this, &TrayWindowController::volumeStepped);
    m_trayIcon->setWindowShown(m_window && m_window->isVisible());
    m_trayIcon->setToolTip(m_toolTip);

    if (m_trayIcon->isAvailable())
        return;
    // A tray host may start a little after us at the start of a session.
    m_waitingForTray = true;
    m_trayWaited.start();
    m_trayCheck.start();
}

void TrayWindowController::checkTray()
{
    if (m_trayIcon && m_trayIcon->isAvailable()) {
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

void TrayWindowController::useOrdinaryWindow()
{
    qCInfo(lcShell) << "No system tray is available: Sondik shows an ordinary window that "
                       "stays open, and closing it quits";
    m_windowStyle = WindowStyle::OrdinaryWindow;
    emit windowStyleChanged();
}

void TrayWindowController::showWindow()
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

void TrayWindowController::placeWindow()
{
    const QRect icon = m_trayIcon ? m_trayIcon->geometry() : QRect();
    if (m_windowPlacer) {
        // Of a fixed size, so that the compositor floats it at that size
        // rather than tiling it first (sway on native Wayland).
        m_window->setMinimumSize(m_window->size());
        m_window->setMaximumSize(m_window->size());
    }
    const QPoint position = WindowPlacement::windowPosition(icon, m_pointerAtShow, m_window->size(),
                                                            WindowPlacement::desktopScreens());
    m_window->setPosition(position);
    if (m_windowPlacer)
        m_windowPlacer->place(position);
}

void TrayWindowController::hideWindow()
{
    m_showWhenTrayKnown = false;
    if (m_window)
        m_window->hide();
}

void TrayWindowController::closeWindow()
{
    hideWindow();
    if (m_onWindowClosed)
        m_onWindowClosed();
}

void TrayWindowController::dismissWindow()
{
    if (m_windowStyle == WindowStyle::TrayPopup)
        closeWindow();
}

void TrayWindowController::iconClicked()
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

void TrayWindowController::setToolTip(const QString& text)
{
    m_toolTip = text;
    if (m_trayIcon)
        m_trayIcon->setToolTip(text);
}

bool TrayWindowController::eventFilter(QObject* watched, QEvent* event)
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
