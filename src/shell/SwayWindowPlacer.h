#pragma once

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>
#include <QPoint>
#include <QString>

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
class SwayWindowPlacer : public QObject {
    Q_OBJECT

public:
    // The socket of the sway session the program runs in; empty elsewhere.
    static QString socketPathForSession();

    explicit SwayWindowPlacer(QString socketPath, QObject* parent = nullptr);
    ~SwayWindowPlacer() override;

    // Connects and listens to sway's window events; false when sway does not
    // answer.
    bool start();

    // The window's top-left corner in global coordinates: now if sway shows
    // the window, else when it next maps it.
    void place(const QPoint& position);

signals:
    // Another window took the focus after the program's window had it.
    void otherWindowFocused();

private:
    void send(quint32 type, const QByteArray& payload);
    void readMessages();
    void handleWindowEvent(const QByteArray& payload);
    void runPlacement(bool focus);

    QString m_socketPath;
    std::unique_ptr<QLocalSocket> m_socket;
    QByteArray m_buffer;
    QPoint m_position;
    bool m_hasPosition = false;
    // sway's container of the shown window; 0 while it is not mapped.
    qint64 m_containerId = 0;
    // Whether sway focused the window since it mapped it.
    bool m_focusedSinceMapped = false;
};
