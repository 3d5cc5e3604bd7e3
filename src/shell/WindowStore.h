#pragma once

#include "DesktopSession.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QQuickWindow>

class WindowManager;

// Gives the window its look when it is created: a frameless surface with the
// window-background colour at alpha 0.2, out of the task bar, that does not
// move when its background is dragged (there is no title bar to drag, and
// nothing in the window starts a system move).
class WindowStore : public QObject {
    Q_OBJECT

public:
    static constexpr qreal backgroundAlpha = 0.2;

    enum class Style {
        // Opens from the tray icon: no frame, no task-bar entry.
        TrayPopup,
        // Without a tray: a window the window manager frames and lists.
        OrdinaryWindow,
    };

    // POPUP: how a tray popup behaves on this desktop.
    WindowStore(QQuickWindow* window, Style style, DesktopSession::Popup popup,
                WindowManager& windowManager, QObject* parent = nullptr);

    QQuickWindow* window() const { return m_window; }
    // Whether what lies behind the window shows through it.
    bool isTranslucent() const { return m_translucent; }
    // Whether the compositor blurs what lies behind it.
    bool hasBlurBehind() const { return m_blurBehind; }
    // The window-background colour at alpha 0.2 (opaque where nothing shows
    // through), for the backdrop view.
    QColor backgroundColor() const { return m_backgroundColor; }

private:
    QPointer<QQuickWindow> m_window;
    bool m_translucent = false;
    bool m_blurBehind = false;
    QColor m_backgroundColor;
};
