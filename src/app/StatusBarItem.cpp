#include "StatusBarItem.h"

#include "ShellLogging.h"
#include "StatusNotifierItem.h"
#include "TrayStatusBarItem.h"

std::unique_ptr<StatusBarItem> StatusBarItem::create()
{
    if (StatusNotifierItem::watcherRunning()) {
        qCInfo(lcShell) << "The tray is a StatusNotifierItem host";
        return std::make_unique<StatusNotifierItem>();
    }
    return std::make_unique<TrayStatusBarItem>();
}
