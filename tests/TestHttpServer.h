#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <memory>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.0 (or https) server for playback tests. Each path gets a
// behaviour: a reply with a status and body, an endless stream paced in real
// time, or a connection that never answers. Runs on the thread's event loop,
// so tests wait with QTRY_*.
class TestHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };
    // What a path answers.
    struct Route {
        enum Kind {
            File,   // `status` (with `location`, if set) and `body`
            Stream, // `body` looped at `bytesPerSecond` after `burst` bytes; closed after `limit`
            Silent, // reads the request, never sends a byte
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
        // title (see setStreamTitle) every `metaInterval` bytes.
        int metaInterval = 0;
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    // Serves https with this configuration (certificate and key) instead.
    void setSslConfiguration(const QSslConfiguration& configuration) { m_ssl = configuration; }
    // On loopback, or on an address in a namespace of the test's own.
    bool listen(const QHostAddress& address = QHostAddress::LocalHost);
    quint16 port() const;
    // http(s)://address:port/path
    QUrl url(const QString& path) const;

    void add(const QString& path, const Route& route) { m_routes.insert(path, route); }
    void addFile(const QString& path, const QByteArray& body, const QByteArray& contentType)
    {
        add(path, {.body = body, .contentType = contentType});
    }

    // What Shoutcast streams say is on air from now on, as a playout system sets it.
    void setStreamTitle(const QByteArray& title) { m_streamTitle = title; }

    QList<Request> requests() const { return m_requests; }
    // Requests for `path`, whatever their query.
    int requestCount(const QString& path) const;
    // Connections the server still holds open.
    int openConnections() const { return int(m_connections.size()); }

private:
    struct Connection {
        QByteArray request;
        bool responding = false;
        Route route;
        bool wantsMetadata = false;
        qint64 sent = 0;
        QElapsedTimer streaming; // valid while a stream is sent
    };
    void readRequest(QTcpSocket* socket);
    void respond(QTcpSocket* socket, Connection& connection);
    void pump(QTcpSocket* socket, Connection& connection);

    std::unique_ptr<QTcpServer> m_server;
    QSslConfiguration m_ssl;
    QHash<QString, Route> m_routes;
    QHash<QTcpSocket*, Connection> m_connections;
    QList<Request> m_requests;
    QTimer m_pacer;
    QByteArray m_streamTitle = "Tone";
};
