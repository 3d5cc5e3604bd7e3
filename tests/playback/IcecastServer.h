#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// Debian's icecast2 on a free loopback port with a configuration of its own,
// and ffmpeg feeding one mount with a tone in real time.
class IcecastServer {
public:
    IcecastServer() = default;
    ~IcecastServer();

    // Starts both and waits until the mount is on the air. False, with the
    // reason in error(), when that does not happen in time.
    bool start(const QString& mount, int toneHz);
    QString error() const { return m_error; }
    QUrl url(const QString& path) const;
    // What the mount says is on air, set through the server's admin request
    // as a station's playout system does; false when it is not taken.
    bool setSong(const QString& mount, const QByteArray& song);

private:
    bool writeConfiguration();
    bool mountOnAir(const QString& mount) const;

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    QProcess m_icecast;
    QProcess m_source;
    QString m_error;
};
