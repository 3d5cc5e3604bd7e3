#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QUrl>

#include <memory>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.0 server on loopback for playback tests. Each path gets a
// behaviour: a file, an endless stream paced in real time, a status code, a
// connection that closes early or never answers. Runs on the thread's event
// loop, so tests wait with QTRY_* or QSignalSpy::wait.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    // Serves https with this configuration (certificate and key) instead.
    void setSslConfiguration(const QSslConfiguration& configuration);
    bool listen();
    quint16 port() const;
    // http(s)://127.0.0.1:port/path
    QUrl url(const QString& path) const;

    void addFile(const QString& path, const QByteArray& body, const QByteArray& contentType);
    // Loops `body` for ever at `bytesPerSecond`, after a first burst.
    void addStream(const QString& path, const QByteArray& body, const QByteArray& contentType,
                   qint64 bytesPerSecond, qint64 burstBytes = 0);
    // The same as a Shoutcast server sends it: an "ICY 200 OK" answer and,
    // to a client that asks, the stream title every `metaInterval` bytes.
    void addShoutcastStream(const QString& path, const QByteArray& body, qint64 bytesPerSecond,
                            int metaInterval = 8192);
    void addStatus(const QString& path, int status, const QByteArray& body = {},
                   const QByteArray& contentType = "text/html");
    void addRedirect(const QString& path, const QUrl& target);
    // Sends the headers and the first `bytes` of `body` at `bytesPerSecond`,
    // then closes the connection.
    void addCloseAfter(const QString& path, const QByteArray& body, const QByteArray& contentType,
                       qint64 bytes, qint64 bytesPerSecond);
    // Accepts and reads the request, then never sends a byte.
    void addSilent(const QString& path);

    QList<Request> requests() const { return m_requests; }
    // Requests for `path`, whatever their query.
    int requestCount(const QString& path) const;
    // Connections the server still holds open.
    int openConnections() const;

signals:
    void requested(const QByteArray& path);

private:
    struct Route;
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
