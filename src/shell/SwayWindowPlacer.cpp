#include "SwayWindowPlacer.h"

#include "ShellLogging.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstring>
#include <utility>

namespace {
constexpr std::chrono::seconds connectTimeout{1};
// "i3-ipc", then the payload's length and the message type, in host byte order.
constexpr char magic[] = "i3-ipc";
constexpr qsizetype magicSize = sizeof magic - 1;
constexpr qsizetype headerSize = magicSize + 2 * sizeof(quint32);
constexpr quint32 runCommand = 0;
constexpr quint32 subscribe = 2;
constexpr quint32 windowEvent = 0x80000003;
} // namespace

QString SwayWindowPlacer::socketPathForSession()
{
    if (!qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return {};
    return qEnvironmentVariable("SWAYSOCK");
}

SwayWindowPlacer::SwayWindowPlacer(QString socketPath, QObject* parent)
    : WindowPlacer(parent)
    , m_socketPath(std::move(socketPath))
    , m_socket(std::make_unique<QLocalSocket>())
{
    connect(m_socket.get(), &QLocalSocket::readyRead, this, &SwayWindowPlacer::readMessages);
}

SwayWindowPlacer::~SwayWindowPlacer() = default;

void SwayWindowPlacer::start()
{
    // Not waited for: the window must not freeze on a sway that hangs.
    connect(m_socket.get(), &QLocalSocket::connected, this, [this] {
        m_connectTimeout.stop();
        send(subscribe, R"(["window"])");
    });
    connect(m_socket.get(), &QLocalSocket::errorOccurred, this,
            [this] { fail(m_socket->errorString()); });
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(connectTimeout);
    connect(&m_connectTimeout, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("no connection within a second")); });
    m_connectTimeout.start();
    m_socket->connectToServer(m_socketPath);
}

void SwayWindowPlacer::fail(const QString& reason)
{
    if (std::exchange(m_failed, true))
        return;
    qCWarning(lcShell).noquote()
        << QStringLiteral("sway's IPC socket does not answer (%1): the window is placed "
                          "without sway's help")
               .arg(reason);
    m_connectTimeout.stop();
    m_socket->abort();
    m_buffer.clear();
    emit failed();
}

void SwayWindowPlacer::place(const QPoint& position)
{
    m_position = position;
    m_hasPosition = true;
    if (m_containerId)
        runPlacement(false);
}

void SwayWindowPlacer::send(quint32 type, const QByteArray& payload)
{
    QByteArray message(magic, magicSize);
    const quint32 header[] = {quint32(payload.size()), type};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message.append(payload);
    m_socket->write(message);
}

void SwayWindowPlacer::readMessages()
{
    m_buffer.append(m_socket->readAll());
    while (m_buffer.size() >= headerSize) {
        if (!m_buffer.startsWith(magic)) {
            fail(QStringLiteral("it sent something else"));
            return;
        }
        quint32 header[2];
        std::memcpy(header, m_buffer.constData() + magicSize, sizeof header);
        const qsizetype size = headerSize + qsizetype(header[0]);
        if (m_buffer.size() < size)
            return;
        const QByteArray payload = m_buffer.mid(headerSize, size - headerSize);
        m_buffer.remove(0, size);
        if (header[1] == windowEvent)
            handleWindowEvent(payload);
        // Replies to commands need no answer: a failed one leaves the window
        // where sway put it.
    }
}

void SwayWindowPlacer::handleWindowEvent(const QByteArray& payload)
{
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    const QString change = event.value(QLatin1String("change")).toString();
    const QJsonObject container = event.value(QLatin1String("container")).toObject();
    const qint64 id = container.value(QLatin1String("id")).toInteger();
    const bool ours =
        container.value(QLatin1String("pid")).toInteger() == QCoreApplication::applicationPid();

    if (change == QLatin1String("new") && ours) {
        m_containerId = id;
        m_focusedSinceMapped = false;
        if (m_hasPosition)
            runPlacement(true);
    } else if (change == QLatin1String("close") && id == m_containerId) {
        m_containerId = 0;
        m_focusedSinceMapped = false;
    } else if (change == QLatin1String("focus")) {
        // Only once sway has focused the window: a focus event still on its
        // way from before it was shown says nothing about it.
        if (ours && id == m_containerId)
            m_focusedSinceMapped = true;
        else if (!ours && std::exchange(m_focusedSinceMapped, false))
            emit otherWindowFocused();
    }
}

void SwayWindowPlacer::runPlacement(bool focus)
{
    QByteArray command = "[con_id=" + QByteArray::number(m_containerId) +
                         "] floating enable, border none, move absolute position " +
                         QByteArray::number(m_position.x()) + " " +
                         QByteArray::number(m_position.y());
    if (focus)
        command += ", focus";
    send(runCommand, command);
}
