#pragma once

#include "app/StatusBarItem.h"

// A tray icon whose host, rectangle and clicks the test decides.
class FakeStatusBarItem : public StatusBarItem {
    Q_OBJECT

public:
    bool available = true;
    QRect rect;
    bool windowShown = false;
    QString toolTip;

    bool isAvailable() const override { return available; }
    QRect geometry() const override { return rect; }
    void setWindowShown(bool shown) override { windowShown = shown; }
    void setToolTip(const QString& text) override { toolTip = text; }

    void click() { emit clicked(); }
};
