#pragma once

#include "TrayIcon.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QWindow;
class WindowPlacer;

// Owns the tray icon and shows, places and hides the one window.
//
//   window          icon click             application inactive
//   not yet known   ignored                onWindowClosed only
//   shown           hide, onWindowClosed   hide, onWindowClosed
//   closed          showWindow             onWindowClosed
//
// A click whose host took the focus first closed the window already when it
// arrives (within sameClickTime of the close): it does not open it again.
//
// Without a system tray the window is an ordinary one instead: it stays open
// when the application becomes inactive, and closing it quits.
class TrayWindowController : public QObject {
    Q_OBJECT

public:
    enum class WindowStyle { TrayPopup, OrdinaryWindow };
    static constexpr std::chrono::milliseconds sameClickTime{400};

    // trayIconFactory: makes the icon once the event loop runs.
    explicit TrayWindowController(TrayIconFactory trayIconFactory, QObject* parent = nullptr);
    ~TrayWindowController() override;

    QWindow* window() const { return m_window; }
    // The window is known: written by the container's onWindowCreated.
    void setWindow(QWindow* window);
    // Called after this object hid the window. Installing one replaces the last.
    void setOnWindowClosed(std::function<void()> callback)
    {
        m_onWindowClosed = std::move(callback);
    }

    // For a desktop that must be told where the window goes (sway), even
    // where Qt cannot place it. Owned from here on and started; its report
    // of another window's focus closes the window instead of the
    // application's deactivation, which such a desktop reports less reliably.
    // When it fails, the window is placed as without it.
    void setWindowPlacer(std::unique_ptr<WindowPlacer> placer);

    WindowStyle windowStyle() const { return m_windowStyle; }
    // How long to wait for a tray host that starts after us.
    void setTrayWaitTime(std::chrono::milliseconds time) { m_trayWaitTime = time; }

    // Once the event loop runs: the icon, then showWindow 0.2 s later.
    void start();
    // The application or, under sway, the window lost the focus to another.
    void onDeactivated();
    void setUpTrayIcon();
    void showWindow();
    void closeWindow();
    // Closes the popup as a click elsewhere would; an ordinary window is the
    // whole program and stays.
    void dismissWindow();
    void iconClicked();

    TrayIcon* trayIcon() const { return m_trayIcon.get(); }
    // The icon's tool tip, kept for an icon made later.
    void setToolTip(const QString& text);

signals:
    // The tray turned out to be missing: the window is to be configured as an
    // ordinary window before it is shown.
    void windowStyleChanged();
    // Passed on from the icon, for the owner of the player.
    void playPauseRequested();
    void volumeStepped(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideWindow();
    void placeWindow();
    void checkTray();
    void useOrdinaryWindow();
    void dropWindowPlacer();

    TrayIconFactory m_trayIconFactory;
    QPointer<QWindow> m_window;
    std::function<void()> m_onWindowClosed;
    std::unique_ptr<WindowPlacer> m_windowPlacer;
    bool m_closesOnApplicationInactive = true;
    std::unique_ptr<TrayIcon> m_trayIcon;

    WindowStyle m_windowStyle = WindowStyle::TrayPopup;
    bool m_waitingForTray = false;
    bool m_showWhenTrayKnown = false;
    std::chrono::milliseconds m_trayWaitTime{2000};
    QTimer m_trayCheck;
    QElapsedTimer m_trayWaited;
    QPoint m_pointerAtShow;
    QString m_toolTip = QStringLiteral("Sondik");
    // Since the application's deactivation closed a shown window.
    QElapsedTimer m_closedByDeactivation;
    // Native Wayland does not let a program place its windows.
    const bool m_qtPlacesWindow;
    bool m_placesWindow;
};
