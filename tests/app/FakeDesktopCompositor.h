#pragma once

#include "app/DesktopCompositor.h"

// A compositor whose answers the test decides.
class FakeDesktopCompositor : public DesktopCompositor {
public:
    bool blends = true;
    bool blurOffered = false;
    int blurRequests = 0;

    bool blendsTranslucentWindows() const override { return blends; }
    bool requestBlurBehind(QWindow*) override
    {
        ++blurRequests;
        return blurOffered;
    }
};
