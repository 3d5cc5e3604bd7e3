#include "WindowStore.h"

#include "WindowManager.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSurfaceFormat>

WindowStore::WindowStore(QQuickWindow* window, Style style, DesktopSession::Popup popup,
                         WindowManager& windowManager, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
    if (!m_window)
        return;

    // Without a compositor the same colours are drawn opaque: alpha pixels
    // would otherwise show premultiplied, nearly black.
    m_translucent = windowManager.blendsTranslucentWindows();
    // The visual of a platform window is chosen when it is created.
    if (m_translucent && !m_window->handle()) {
        QSurfaceFormat format = m_window->format();
        format.setAlphaBufferSize(8);
        m_window->setFormat(format);
    } else if (m_window->format().alphaBufferSize() <= 0) {
        m_translucent = false;
    }

    m_backgroundColor = QGuiApplication::palette().color(QPalette::Active, QPalette::Window);
    if (m_translucent)
        m_backgroundColor.setAlphaF(float(backgroundAlpha));
    // The scene graph draws the translucent colour itself: the clear colour
    // of a window is not premultiplied on every graphics backend, and the
    // compositor expects premultiplied pixels.
    m_window->setColor(m_translucent ? QColor(Qt::transparent) : m_backgroundColor);

    // On X11 the program places its tray popup itself, unmanaged: a window
    // manager may move a managed window wherever it asks to be, and Qt gives
    // an unmanaged window the keyboard itself. Of the normal type, not a tool
    // window, so that a compositor gives the unmanaged window the keyboard.
    // Wayland compositors take the keyboard back from an unmanaged XWayland
    // window: there it is a managed utility window (no task-bar entry, no
    // frame) that sway is told where to float and that GNOME Shell and KWin
    // put where it asks to be (Qt sets USPosition for a position it was given).
    Qt::WindowFlags flags = Qt::Window;
    if (style == Style::TrayPopup) {
        switch (popup) {
        case DesktopSession::Popup::SwayUtility:
        case DesktopSession::Popup::Utility:
            flags = Qt::Tool | Qt::FramelessWindowHint;
            break;
        case DesktopSession::Popup::Unmanaged:
            flags |= Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
            break;
        case DesktopSession::Popup::UnmanagedWithoutKeyboard:
            // It would close as it opened.
            flags |= Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                     Qt::WindowDoesNotAcceptFocus;
            break;
        }
    }
    m_window->setFlags(flags);
    m_window->setTitle(QStringLiteral("Sondik"));

    if (m_translucent)
        m_blurBehind = windowManager.requestBlurBehind(m_window);
    if (!m_window->isVisible())
        windowManager.setKeptOutOfTaskBar(m_window, style == Style::TrayPopup);
}
