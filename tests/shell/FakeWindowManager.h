#pragma once

#include "shell/WindowManager.h"

#include <optional>

// A window manager whose answers the test decides.
class FakeWindowManager : public WindowManager {
public:
    bool blends = true;
    std::optional<bool> keptOutOfTaskBar;

    bool blendsTranslucentWindows() const override { return blends; }
    bool requestBlurBehind(QWindow*) override { return false; }
    void setKeptOutOfTaskBar(QWindow*, bool keptOut) override { keptOutOfTaskBar = keptOut; }
    QString name() const override { return {}; }
};
