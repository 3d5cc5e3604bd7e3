#pragma once

#include <QPoint>
#include <QString>

class QWindow;

// Places the window through sway's IPC socket. sway centres a managed
// XWayland window wherever it asks to be, and takes the X focus back from an
// unmanaged one; so under sway the window stays managed and sway is told to
// float it at the place the program chose, now and whenever it maps it again.
class SwayWindowPlacer {
public:
    explicit SwayWindowPlacer(QString socketPath);

    // The sway socket of the session, when the window is on XWayland under
    // sway; empty otherwise.
    static QString socketPathForSession();

    // window: its top-left corner in global coordinates.
    void place(const QPoint& position) const;

private:
    bool runCommand(const QByteArray& command) const;

    QString m_socketPath;
};
