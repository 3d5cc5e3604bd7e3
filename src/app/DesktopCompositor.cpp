#include "DesktopCompositor.h"

#include "X11DesktopCompositor.h"

#include <QGuiApplication>

namespace {

// Wayland compositors blend every surface with an alpha channel; offscreen
// and other platforms have nothing behind the window to blur.
class PlainDesktopCompositor : public DesktopCompositor {
public:
    bool blendsTranslucentWindows() const override { return true; }
    bool requestBlurBehind(QWindow*) override { return false; }
};

} // namespace

std::unique_ptr<DesktopCompositor> DesktopCompositor::create()
{
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return std::make_unique<X11DesktopCompositor>(x11->connection());
    return std::make_unique<PlainDesktopCompositor>();
}
