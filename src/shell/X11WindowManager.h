#pragma once

#include "WindowManager.h"

#include <cstdint>
#include <functional>

struct xcb_connection_t;

// An X11 desktop. A compositor owns the _NET_WM_CM_S<screen> selection; KWin
// announces its blur by setting _KDE_NET_WM_BLUR_BEHIND_REGION on the root
// window and blurs behind the windows that carry that property; task bars
// and pagers skip windows whose _NET_WM_STATE says so.
class X11WindowManager : public WindowManager {
public:
    explicit X11WindowManager(xcb_connection_t* connection);

    bool blendsTranslucentWindows() const override;
    bool requestBlurBehind(QWindow* window) override;
    void setKeptOutOfTaskBar(QWindow* window, bool keptOut) override;
    QString name() const override;

    static bool blurBehindOffered(xcb_connection_t* connection, uint32_t root);

private:
    uint32_t atom(const char* name, bool onlyIfExists) const;
    // Runs apply with the window's id now if it exists, and at every
    // creation of its platform window.
    static void whenCreated(QWindow* window, const char* name, std::function<void(uint32_t)> apply);

    xcb_connection_t* m_connection;
    uint32_t m_root = 0;
    int m_screenNumber = 0;
};
