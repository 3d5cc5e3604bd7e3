#pragma once

#include <QObject>
#include <QPoint>

// Tells a compositor where the window goes, where moving it through Qt is not
// enough: the compositor has the last word on where a window shows (sway).
class WindowPlacer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts talking to the compositor; `failed` follows when it does not
    // answer. Never waits for it.
    virtual void start() = 0;
    // The window's top-left corner in global coordinates.
    virtual void place(const QPoint& position) = 0;

signals:
    // Another window took the focus after the program's window had it.
    void otherWindowFocused();
    // The compositor cannot be reached (any more): the window goes back to
    // being placed through Qt.
    void failed();
};
