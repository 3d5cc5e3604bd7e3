#pragma once

#include "WindowPlacer.h"

#include <QByteArray>
#include <QLocalSocket>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <memory>

// Places the window under sway, over its IPC socket. Through XWayland sway
// centres a managed window wherever it asks to be and takes the keyboard back
// from an unmanaged one; on native Wayland a program cannot place its windows
// at all. So under sway the window stays managed, and each time sway maps it
// sway is told to float it at the program's place and focus it.
//
// sway's ordered focus events also say when another window took the focus,
// which Qt's own activation reports only with transient changes while sway
// maps, floats and moves the window.
class SwayWindowPlacer : public WindowPlacer {
    Q_OBJECT

public:
    // The socket of the sway session the program runs in; empty elsewhere.
    static QString socketPathForSession();

    explicit SwayWindowPlacer(QString socketPath, QObject* parent = nullptr);
    ~SwayWindowPlacer() override;

    // Connects and then listens to sway's window events.
    void start() override;

    // Now if sway shows the window, else when it next maps it.
    void place(const QPoint& position) override;

private:
    void fail(const QString& reason);
    void send(quint32 type, const QByteArray& payload);
    void readMessages();
    void handleWindowEvent(const QByteArray& payload);
    void runPlacement(bool focus);

    QString m_socketPath;
    std::unique_ptr<QLocalSocket> m_socket;
    QTimer m_connectTimeout;
    bool m_failed = false;
    QByteArray m_buffer;
    QPoint m_position;
    bool m_hasPosition = false;
    // sway's container of the shown window; 0 while it is not mapped.
    qint64 m_containerId = 0;
    // Whether sway focused the window since it mapped it.
    bool m_focusedSinceMapped = false;
};
