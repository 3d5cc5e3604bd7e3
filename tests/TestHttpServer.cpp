#include "TestHttpServer.h"

#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent)
{
    m_pacer.setInterval(20);
    connect(&m_pacer, &QTimer::timeout, this, [this] {
        // Sending may close a connection, and with it drop it from the hash.
        for (QTcpSocket* socket : m_connections.keys()) {
            const auto found = m_connections.find(socket);
            if (found != m_connections.end() && found->streaming.isValid())
                pump(socket, *found);
        }
    });
}

TestHttpServer::~TestHttpServer()
{
    // The sockets go down with the server, without telling this object.
    for (QTcpSocket* socket : m_connections.keys())
        socket->disconnect(this);
}

bool TestHttpServer::listen(const QHostAddress& address)
{
    if (m_ssl.isNull()) {
        m_server = std::make_unique<QTcpServer>();
    } else {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(m_ssl);
        m_server = std::move(server);
    }
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            m_connections.insert(socket, {});
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_connections.remove(socket);
                socket->deleteLater();
            });
            readRequest(socket);
        }
    });
    m_pacer.start();
    return m_server->listen(address, 0);
}

quint16 TestHttpServer::port() const
{
    return m_server->serverPort();
}

QUrl TestHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("%1://%2:%3%4")
                    .arg(m_ssl.isNull() ? QStringLiteral("http") : QStringLiteral("https"))
                    .arg(m_server->serverAddress().toString())
                    .arg(port())
                    .arg(path));
}

int TestHttpServer::requestCount(const QString& path) const
{
    int count = 0;
    for (const Request& request : m_requests)
        count += request.path.split('?').value(0) == path.toUtf8();
    return count;
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection& connection = *found;
    if (connection.responding) {
        socket->readAll();
        return;
    }
    connection.request += socket->readAll();
    const qsizetype end = connection.request.indexOf("\r\n\r\n");
    if (end < 0)
        return;

    Request request;
    const QList<QByteArray> lines = connection.request.left(end).split('\n');
    request.path = lines.value(0).trimmed().split(' ').value(1);
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(),
                                   line.mid(colon + 1).trimmed());
    }
    m_requests.append(request);
    connection.wantsMetadata = request.headers.value("icy-metadata") == "1";
    connection.route =
        m_routes.value(QString::fromUtf8(request.path.split('?').value(0)), Route{.status = 404});
    connection.responding = true;
    respond(socket, connection);
}

void TestHttpServer::respond(QTcpSocket* socket, Connection& connection)
{
    const Route& route = connection.route;
    if (route.kind == Route::Silent)
        return;
    QByteArray head = route.metaInterval
                          ? "ICY 200 OK\r\nicy-name: Loopback Tone\r\nicy-br: 128\r\n"
                          : "HTTP/1.0 " + QByteArray::number(route.status) + " Status\r\n";
    if (route.metaInterval && connection.wantsMetadata)
        head += "icy-metaint: " + QByteArray::number(route.metaInterval) + "\r\n";
    if (!route.location.isEmpty())
        head += "Location: " + route.location + "\r\n";
    if (!route.contentType.isEmpty())
        head += "Content-Type: " + route.contentType + "\r\n";
    if (route.kind == Route::File)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    socket->write(head + "Connection: close\r\n\r\n");
    if (route.kind == Route::File) {
        socket->write(route.body);
        socket->disconnectFromHost();
        return;
    }
    connection.streaming.start();
    pump(socket, connection);
}

void TestHttpServer::pump(QTcpSocket* socket, Connection& connection)
{
    const Route& route = connection.route;
    // Keep the socket's own buffer short so the pace holds on the wire.
    if (socket->bytesToWrite() > 64 * 1024)
        return;
    qint64 due = route.burst + route.bytesPerSecond * connection.streaming.elapsed() / 1000;
    if (route.limit >= 0)
        due = std::min(due, route.limit);
    const int interval = connection.wantsMetadata ? route.metaInterval : 0;
    qint64& sent = connection.sent;
    while (sent < due && !route.body.isEmpty()) {
        const qint64 offset = sent % route.body.size();
        qint64 chunk = std::min(due - sent, route.body.size() - offset);
        if (interval)
            chunk = std::min(chunk, interval - sent % interval);
        socket->write(route.body.constData() + offset, chunk);
        sent += chunk;
        if (interval && sent % interval == 0) {
            QByteArray title = "StreamTitle='" + m_streamTitle + "';";
            title.append(QByteArray((16 - title.size() % 16) % 16, '\0'));
            socket->write(char(title.size() / 16) + title);
        }
    }
    if (route.limit >= 0 && sent >= route.limit) {
        connection.streaming.invalidate();
        socket->disconnectFromHost(); // last: this may drop the connection
    }
}
