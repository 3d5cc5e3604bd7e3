#include "SwayWindowPlacer.h"

#include "ShellLogging.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QtEndian>

namespace {
constexpr int ipcTimeoutMs = 500;
constexpr quint32 runCommandType = 0;
} // namespace

SwayWindowPlacer::SwayWindowPlacer(QString socketPath)
    : m_socketPath(std::move(socketPath))
{}

QString SwayWindowPlacer::socketPathForSession()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return {};
    return qEnvironmentVariable("SWAYSOCK");
}

void SwayWindowPlacer::place(const QPoint& position) const
{
    const QByteArray criteria =
        "[pid=" + QByteArray::number(QCoreApplication::applicationPid()) + "] ";
    const QByteArray placement = "floating enable, border none, move absolute position " +
                                 QByteArray::number(position.x()) + " " +
                                 QByteArray::number(position.y());
    // The rule for the next time sway maps the window, then the window that
    // may be mapped now. Rules add up; the last one added wins.
    runCommand("for_window " + criteria + '"' + placement + '"');
    runCommand(criteria + placement);
}

bool SwayWindowPlacer::runCommand(const QByteArray& command) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(ipcTimeoutMs)) {
        qCWarning(lcShell) << "sway's IPC socket does not answer:" << socket.errorString();
        return false;
    }
    // "i3-ipc", payload length and message type in host byte order, payload.
    QByteArray message("i3-ipc");
    const quint32 header[] = {quint32(command.size()), runCommandType};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message.append(command);
    socket.write(message);
    if (!socket.waitForBytesWritten(ipcTimeoutMs))
        return false;
    // The reply says whether a window matched; none may be mapped yet.
    socket.waitForReadyRead(ipcTimeoutMs);
    return true;
}
