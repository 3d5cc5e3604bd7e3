#include "ShellFactory.h"

#include "shell/ShellLogging.h"
#include "shell/StatusNotifierItem.h"
#include "shell/TrayStatusBarItem.h"
#include "shell/X11DesktopWindowManager.h"

#include <QGuiApplication>

namespace {

// Wayland compositors blend every surface with an alpha channel and keep
// tool windows out of task bars; offscreen and other platforms have nothing
// behind the window to blur.
class PlainDesktopWindowManager : public DesktopWindowManager {
public:
    bool blendsTranslucentWindows() const override { return true; }
    bool requestBlurBehind(QWindow*) override { return false; }
    void setKeptOutOfTaskBar(QWindow*, bool) override {}
};

} // namespace

std::unique_ptr<StatusBarItem> createStatusBarItem()
{
    if (StatusNotifierItem::watcherRunning()) {
        qCInfo(lcShell) << "The tray is a StatusNotifierItem host";
        return std::make_unique<StatusNotifierItem>();
    }
    return std::make_unique<TrayStatusBarItem>();
}

std::unique_ptr<DesktopWindowManager> createDesktopWindowManager()
{
    // The offscreen platform offers the X11 interface too, without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        return std::make_unique<X11DesktopWindowManager>(x11->connection());
    return std::make_unique<PlainDesktopWindowManager>();
}
