#pragma once

#include <QString>

class QWindow;

// What the desktop's window manager and compositor do for the window beyond
// what Qt asks of them.
class WindowManager {
public:
    virtual ~WindowManager() = default;

    // Whether a window with an alpha channel is blended over what lies behind
    // it. Without a compositor an X server shows such pixels as they are:
    // premultiplied and dark.
    virtual bool blendsTranslucentWindows() const = 0;
    // Asks for what lies behind the whole window to be blurred; true when the
    // compositor offers it.
    virtual bool requestBlurBehind(QWindow* window) = 0;
    // Keeps the window out of task bars and pagers, or lets it in. Takes
    // effect when the window is next shown.
    virtual void setKeptOutOfTaskBar(QWindow* window, bool keptOut) = 0;
    // The window manager's name as it gives it (_NET_WM_NAME), or empty.
    virtual QString name() const = 0;
};
