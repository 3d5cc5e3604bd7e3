#include "ShellFactory.h"

#include "AppLogging.h"

#include "shell/StatusNotifierItem.h"
#include "shell/SystemTrayIcon.h"
#include "shell/X11WindowManager.h"

#include <QGuiApplication>

namespace {

// Wayland compositors blend every surface with an alpha channel and keep
// tool windows out of task bars; offscreen and other platforms have nothing
// behind the window to blur.
class PlainWindowManager : public WindowManager {
public:
    bool blendsTranslucentWindows() const override { return true; }
    bool requestBlurBehind(QWindow*) override { return false; }
    void setKeptOutOfTaskBar(QWindow*, bool) override {}
    QString name() const override { return {}; }
};

} // namespace

std::unique_ptr<TrayIcon> createTrayIcon()
{
    if (StatusNotifierItem::watcherRunning()) {
        auto item = std::make_unique<StatusNotifierItem>();
        if (item->isExported()) {
            qCInfo(lcApp) << "The tray is a StatusNotifierItem host";
            return item;
        }
        qCWarning(lcApp) << "Falling back to the XEmbed tray";
    }
    return std::make_unique<SystemTrayIcon>();
}

std::unique_ptr<WindowManager> createWindowManager()
{
    // The offscreen platform offers the X11 interface too, without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        return std::make_unique<X11WindowManager>(x11->connection());
    return std::make_unique<PlainWindowManager>();
}
