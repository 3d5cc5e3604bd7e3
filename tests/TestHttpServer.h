#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

// A small HTTP/1.0 (or https) server for tests, on the thread's event loop,
// so tests wait with QTRY_*. Each path answers a file, an endless stream paced
// in real time, or nothing at all; any other path is a 404.
class TestHttpServer : public QObject {
public:
    struct Route {
        enum Kind { File, Stream, Silent };
        Kind kind = File;
        int status = 200;
        QByteArray body; // a stream loops it
        QByteArray contentType;
        qint64 bytesPerSecond = 0;
        // Shoutcast: "ICY 200 OK" and, to a client that asks, the stream
        // title every `metaInterval` bytes.
        int metaInterval = 0;
    };

    // Serves https with this certificate and key instead.
    void setSslConfiguration(const QSslConfiguration& configuration) { m_ssl = configuration; }

    // On loopback, or on an address in a namespace of the test's own.
    bool listen(const QHostAddress& address = QHostAddress::LocalHost)
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
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    m_connections.remove(socket);
                    socket->deleteLater();
                });
                read(socket);
            }
        });
        connect(&m_pacer, &QTimer::timeout, this, [this] {
            // Sending may drop a connection from the hash.
            for (QTcpSocket* socket : m_connections.keys()) {
                if (m_connections.contains(socket) && m_connections[socket].streaming.isValid())
                    pump(socket, m_connections[socket]);
            }
        });
        m_pacer.start(20);
        return m_server->listen(address, 0);
    }
    ~TestHttpServer() override
    {
        // The sockets go down with the server, without telling this object.
        for (QTcpSocket* socket : m_connections.keys())
            socket->disconnect(this);
    }

    quint16 port() const { return m_server->serverPort(); }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("%1://%2:%3%4")
                        .arg(m_ssl.isNull() ? QStringLiteral("http") : QStringLiteral("https"),
                             m_server->serverAddress().toString(), QString::number(port()), path));
    }

    void add(const QString& path, const Route& route) { m_routes.insert(path, route); }
    void addFile(const QString& path, const QByteArray& body, const QByteArray& contentType)
    {
        add(path, {.body = body, .contentType = contentType});
    }
    // What Shoutcast streams say is on air from now on.
    void setStreamTitle(const QByteArray& title) { m_streamTitle = title; }

    int openConnections() const { return int(m_connections.size()); }
    // Requests for `path`, whatever their query.
    int requestCount(const QString& path) const { return m_requestCounts.value(path); }

private:
    struct Connection {
        QByteArray request;
        Route route;
        bool wantsMetadata = false;
        qint64 sent = 0;
        QElapsedTimer streaming; // valid while a stream is sent
    };

    void read(QTcpSocket* socket)
    {
        if (!m_connections.contains(socket))
            return;
        Connection& connection = m_connections[socket];
        const bool answered = connection.request.contains("\r\n\r\n");
        connection.request += socket->readAll();
        if (answered || !connection.request.contains("\r\n\r\n"))
            return;
        const QString path =
            QString::fromUtf8(connection.request.split(' ').value(1)).split('?')[0];
        ++m_requestCounts[path];
        connection.wantsMetadata = connection.request.toLower().contains("icy-metadata: 1");
        connection.route = m_routes.value(path, Route{.status = 404});
        const Route& route = connection.route;
        if (route.kind == Route::Silent)
            return;
        QByteArray head = route.metaInterval
                              ? "ICY 200 OK\r\nicy-name: Loopback Tone\r\n"
                              : "HTTP/1.0 " + QByteArray::number(route.status) + " Status\r\n";
        if (route.metaInterval && connection.wantsMetadata)
            head += "icy-metaint: " + QByteArray::number(route.metaInterval) + "\r\n";
        if (route.kind == Route::File)
            head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
        if (!route.contentType.isEmpty())
            head += "Content-Type: " + route.contentType + "\r\n";
        socket->write(head + "\r\n");
        if (route.kind == Route::File) {
            socket->write(route.body);
            socket->disconnectFromHost();
            return;
        }
        connection.streaming.start();
        pump(socket, connection);
    }

    void pump(QTcpSocket* socket, Connection& connection)
    {
        const Route& route = connection.route;
        // A short socket buffer keeps the pace on the wire.
        if (socket->bytesToWrite() > 64 * 1024)
            return;
        const qint64 due = route.bytesPerSecond * connection.streaming.elapsed() / 1000;
        const int interval = connection.wantsMetadata ? route.metaInterval : 0;
        qint64& sent = connection.sent;
        while (sent < due) {
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
    }

    std::unique_ptr<QTcpServer> m_server;
    QSslConfiguration m_ssl;
    QHash<QString, Route> m_routes;
    QHash<QTcpSocket*, Connection> m_connections;
    QHash<QString, int> m_requestCounts;
    QTimer m_pacer;
    QByteArray m_streamTitle = "Tone";
};
