#include "TestHttpServer.h"

#include <QElapsedTimer>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

struct TestHttpServer::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray request;
    std::shared_ptr<Route> route;
    bool responding = false;
    bool wantsMetadata = false;
    qint64 sent = 0;
    QElapsedTimer clock;
    QTimer* pacer = nullptr; // child of the socket
};

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent)
{}

TestHttpServer::~TestHttpServer()
{
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        delete it.key();
    }
}

void TestHttpServer::setSslConfiguration(const QSslConfiguration& configuration)
{
    m_ssl = configuration;
    m_https = true;
}

bool TestHttpServer::listen()
{
    return listen(QHostAddress::LocalHost);
}

bool TestHttpServer::listen(const QHostAddress& address)
{
    if (m_https) {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(m_ssl);
        m_server = std::move(server);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &TestHttpServer::accept);
    return m_server->listen(address, 0);
}

quint16 TestHttpServer::port() const
{
    return m_server->serverPort();
}

QUrl TestHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("%1://%2:%3%4")
                    .arg(m_https ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_server->serverAddress().toString())
                    .arg(port())
                    .arg(path));
}

void TestHttpServer::add(const QString& path, Route route)
{
    m_routes.insert(path, std::make_shared<Route>(std::move(route)));
}

int TestHttpServer::requestCount(const QString& path) const
{
    int count = 0;
    for (const Request& request : m_requests)
        count += request.path.split('?').value(0) == path.toUtf8();
    return count;
}

int TestHttpServer::openConnections() const
{
    return int(m_connections.size());
}

void TestHttpServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto connection = std::make_shared<Connection>();
        connection->socket = socket;
        m_connections.insert(socket, connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        readRequest(socket);
    }
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    const auto found = m_connections.constFind(socket);
    if (found == m_connections.cend())
        return;
    Connection& connection = *found.value();
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
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
    }
    m_requests.append(request);
    connection.wantsMetadata = request.headers.value("icy-metadata") == "1";
    connection.route = m_routes.value(QString::fromUtf8(request.path.split('?').value(0)));
    if (!connection.route)
        connection.route = std::make_shared<Route>(Route{.kind = Route::Status, .status = 404});
    connection.responding = true;
    respond(connection);
}

void TestHttpServer::respond(Connection& connection)
{
    const Route& route = *connection.route;
    if (route.kind == Route::Silent)
        return;

    QByteArray head;
    switch (route.kind) {
    case Route::Status:
        head = "HTTP/1.0 " + QByteArray::number(route.status) + " Status\r\n";
        break;
    case Route::Redirect:
        head = "HTTP/1.0 302 Found\r\nLocation: " + route.location + "\r\n";
        break;
    default:
        head = route.metaInterval ? "ICY 200 OK\r\nicy-name: Loopback Tone\r\nicy-br: 128\r\n"
                                  : "HTTP/1.0 200 OK\r\n";
        if (route.metaInterval && connection.wantsMetadata)
            head += "icy-metaint: " + QByteArray::number(route.metaInterval) + "\r\n";
    }
    if (!route.contentType.isEmpty())
        head += "Content-Type: " + route.contentType + "\r\n";
    if (route.kind == Route::File || route.kind == Route::Status || route.kind == Route::Redirect)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    connection.socket->write(head);

    if (route.kind == Route::Stream || route.kind == Route::CloseAfter) {
        connection.clock.start();
        QTcpSocket* socket = connection.socket;
        connection.pacer = new QTimer(socket);
        connection.pacer->setInterval(20);
        connect(connection.pacer, &QTimer::timeout, this, [this, socket] {
            const auto found = m_connections.constFind(socket);
            if (found != m_connections.cend())
                pump(*found.value());
        });
        connection.pacer->start();
        pump(connection);
        return;
    }
    connection.socket->write(route.body);
    connection.socket->disconnectFromHost();
}

void TestHttpServer::pump(Connection& connection)
{
    const Route& route = *connection.route;
    qint64 due = route.burst + route.bytesPerSecond * connection.clock.elapsed() / 1000;
    if (route.limit >= 0)
        due = std::min(due, route.limit);
    // Keep the socket's own buffer short so the pace holds on the wire.
    if (connection.socket->bytesToWrite() > 64 * 1024)
        return;
    while (connection.sent < due && !route.body.isEmpty()) {
        const qint64 offset = connection.sent % route.body.size();
        const qint64 chunk = std::min(due - connection.sent, route.body.size() - offset);
        send(connection, route.body.constData() + offset, chunk);
    }
    if (route.limit >= 0 && connection.sent >= route.limit) {
        connection.pacer->stop();
        connection.socket->disconnectFromHost();
    }
}

void TestHttpServer::send(Connection& connection, const char* data, qint64 size)
{
    const int interval = connection.route->metaInterval;
    if (!interval || !connection.wantsMetadata) {
        connection.socket->write(data, size);
        connection.sent += size;
        return;
    }
    while (size > 0) {
        const qint64 chunk = std::min(size, interval - connection.sent % interval);
        connection.socket->write(data, chunk);
        connection.sent += chunk;
        data += chunk;
        size -= chunk;
        if (connection.sent % interval == 0) {
            QByteArray title = "StreamTitle='Tone " + QByteArray::number(connection.sent) + "';";
            title.append(QByteArray((16 - title.size() % 16) % 16, '\0'));
            connection.socket->write(QByteArray(1, char(title.size() / 16)) + title);
        }
    }
}

void TestHttpServer::drop(QTcpSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    if (found.value()->pacer)
        found.value()->pacer->stop();
    m_connections.erase(found);
    socket->deleteLater();
}
