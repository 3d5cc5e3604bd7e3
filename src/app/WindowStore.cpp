#include "WindowStore.h"

#include "DesktopWindowManager.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSurfaceFormat>

WindowStore::WindowStore(QQuickWindow* window, Style style, DesktopWindowManager& windowManager,
                         QObject* parent)
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

    // A tray popup is placed by the program, not the window manager: some
    // (sway through XWayland) centre a managed window wherever it asks to be.
    // Of the normal type, not a tool window, so that such a compositor gives
    // the unmanaged window the keyboard.
    Qt::WindowFlags flags = Qt::Window;
    if (style == Style::TrayPopup) {
        flags |= Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
        // Through XWayland the compositor takes the X focus back from an
        // unmanaged window at once, and the window would close as it
        // opened: there it stays without the keyboard.
        if (QGuiApplication::platformName() == QLatin1String("xcb") &&
            qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
            flags |= Qt::WindowDoesNotAcceptFocus;
    }
    m_window->setFlags(flags);
    m_window->setTitle(QStringLiteral("Sondik"));

    if (m_translucent)
        m_blurBehind = windowManager.requestBlurBehind(m_window);
    if (!m_window->isVisible())
        windowManager.setKeptOutOfTaskBar(m_window, style == Style::TrayPopup);
}
