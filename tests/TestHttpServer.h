#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QUrl>

#include <memory>

class QHostAddress;
class QTcpServer;
class QTcpSocket;

// A small HTTP/1.0 (or https) server on loopback for playback tests. Each
// path gets a behaviour: a file, an endless stream paced in real time, a
// status code, a connection that closes early or never answers. Runs on the
// thread's event loop, so tests wait with QTRY_*.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };
    // What a path answers.
    struct Route {
        enum Kind {
            File,
            Stream,     // `body` looped for ever at `bytesPerSecond` after `burst` bytes
            Status,     // `status` with `body`
            Redirect,   // 302 to `location`
            CloseAfter, // the first `limit` bytes of `body` paced, then the connection closes
            Silent,     // reads the request, never sends a byte
        };
        Kind kind = File;
        int status = 200;
        QByteArray body;
        QByteArray contentType;
        QByteArray location;
        qint64 bytesPerSecond = 0;
        qint64 burst = 0;
        qint64 limit = -1;
        // Shoutcast: "ICY 200 OK" and, to a client that asks, the stream
        // title every `metaInterval` bytes.
        int metaInterval = 0;
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    // Serves https with this configuration (certificate and key) instead.
    void setSslConfiguration(const QSslConfiguration& configuration);
    // On loopback, or on `address` (a namespace of the test's own).
    bool listen();
    bool listen(const QHostAddress& address);
    quint16 port() const;
    // http(s)://address:port/path
    QUrl url(const QString& path) const;

    void add(const QString& path, Route route);
    void addFile(const QString& path, const QByteArray& body, const QByteArray& contentType)
    {
        add(path, {.body = body, .contentType = contentType});
    }

    QList<Request> requests() const { return m_requests; }
    // Requests for `path`, whatever their query.
    int requestCount(const QString& path) const;
    // Connections the server still holds open.
    int openConnections() const;

private:
    struct Connection;
    void accept();
    void readRequest(QTcpSocket* socket);
    void respond(Connection& connection);
    void send(Connection& connection, const char* data, qint64 size);
    void pump(Connection& connection);
    void drop(QTcpSocket* socket);

    std::unique_ptr<QTcpServer> m_server;
    QSslConfiguration m_ssl;
    bool m_https = false;
    QHash<QString, std::shared_ptr<Route>> m_routes;
    QHash<QTcpSocket*, std::shared_ptr<Connection>> m_connections;
    QList<Request> m_requests;
};
