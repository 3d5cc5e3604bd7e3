#pragma once

#include <memory>

class TrayIcon;
class WindowManager;

// The kinds the desktop calls for, chosen here so that the shell's base
// classes know none of their subclasses.

// A StatusNotifierItem where a watcher runs on the session bus, else Qt's
// tray icon (XEmbed).
std::unique_ptr<TrayIcon> createTrayIcon();
// The one for the platform the application runs on.
std::unique_ptr<WindowManager> createWindowManager();
