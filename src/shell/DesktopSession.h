#pragma once

#include <QString>

// The desktop Sondik runs on, as the session describes itself, and how the
// tray popup is made to behave there. Decided once, when the window is
// configured.
class DesktopSession {
public:
    enum class Popup {
        // An X11 desktop: unmanaged, placed by the program, and given the
        // keyboard by Qt (openbox, xfwm4 and the like let it).
        Unmanaged,
        // XWayland under a compositor that is not known: unmanaged and
        // without the keyboard, which the compositor would take back at once
        // and so close the window as it opens.
        UnmanagedWithoutKeyboard,
        // sway through XWayland: a managed utility window that sway is told
        // where to float.
        SwayUtility,
        // GNOME Shell and KWin through XWayland: a managed utility window
        // that asks for its position (USPosition) and takes the keyboard, so
        // that it gets keys and learns when another window takes them.
        Utility,
    };

    struct Facts {
        QString platform; // Qt's platform plugin: xcb, wayland, ...
        bool waylandDisplay = false;
        bool swaySocket = false;
        QString currentDesktop; // XDG_CURRENT_DESKTOP
        QString sessionType;    // XDG_SESSION_TYPE
        QString windowManager;  // the X11 window manager's _NET_WM_NAME
    };

    explicit DesktopSession(Facts facts);

    // The facts of this process's session; WINDOWMANAGER as the X server names it.
    static Facts currentFacts(const QString& windowManager);

    Popup popup() const { return m_popup; }
    bool isGnome() const;
    bool isKde() const;
    // One line for the log: what the session says and the choice made.
    QString description() const;

private:
    Facts m_facts;
    Popup m_popup;
};
