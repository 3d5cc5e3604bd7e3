#include "IcecastServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <unistd.h>

namespace {

const char* const password = "sondik-test";

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

void finish(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace

IcecastServer::~IcecastServer()
{
    finish(m_source);
    finish(m_icecast);
}

QUrl IcecastServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
}

bool IcecastServer::writeConfiguration()
{
    // icecast2 refuses to run as root unless it drops to another user, who
    // then writes the logs.
    const bool root = geteuid() == 0;
    if (root)
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther);
    const QString config =
        QStringLiteral(
            "<icecast>\n"
            "  <location>loopback</location><admin>test@localhost</admin>\n"
            "  <limits><clients>20</clients><sources>2</sources>\n"
            "    <queue-size>524288</queue-size><client-timeout>30</client-timeout>\n"
            "    <header-timeout>15</header-timeout><source-timeout>10</source-timeout>\n"
            "    <burst-on-connect>1</burst-on-connect><burst-size>65535</burst-size></limits>\n"
            "  <authentication><source-password>%1</source-password>\n"
            "    <admin-user>admin</admin-user><admin-password>%1</admin-password>\n"
            "  </authentication>\n"
            "  <hostname>127.0.0.1</hostname>\n"
            "  "
            "<listen-socket><port>%2</port><bind-address>127.0.0.1</bind-address></listen-socket>\n"
            "  <fileserve>1</fileserve>\n"
            "  <paths><basedir>/usr/share/icecast2</basedir><logdir>%3</logdir>\n"
            "    <webroot>/usr/share/icecast2/web</webroot>\n"
            "    <adminroot>/usr/share/icecast2/admin</adminroot></paths>\n"
            "  <logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>\n"
            "    <loglevel>2</loglevel></logging>\n"
            "  <security><chroot>0</chroot>%4</security>\n"
            "</icecast>\n")
            .arg(QLatin1String(password))
            .arg(m_port)
            .arg(m_dir.path())
            .arg(root ? QStringLiteral("<changeowner><user>nobody</user><group>nogroup</group>"
                                       "</changeowner>")
                      : QString());
    QFile file(m_dir.filePath(QStringLiteral("icecast.xml")));
    return file.open(QIODevice::WriteOnly) && file.write(config.toUtf8()) > 0;
}

bool IcecastServer::mountOnAir(const QString& mount) const
{
    // The mount answers 200 with audio once a source feeds it.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("GET " + mount.toUtf8() + " HTTP/1.0\r\nUser-Agent: probe\r\n\r\n");
    QByteArray reply;
    QDeadlineTimer deadline(2000);
    while (!reply.contains("\r\n\r\n") && !deadline.hasExpired() && socket.waitForReadyRead(200))
        reply += socket.readAll();
    return reply.startsWith("HTTP/1.0 200") || reply.startsWith("HTTP/1.1 200");
}

bool IcecastServer::setSong(const QString& mount, const QByteArray& song)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    if (!socket.waitForConnected(2000))
        return false;
    const QByteArray credentials = QByteArray("admin:") + password;
    socket.write("GET /admin/metadata?mount=" + QUrl::toPercentEncoding(mount) +
                 "&mode=updinfo&charset=UTF-8&song=" + QUrl::toPercentEncoding(song) +
                 " HTTP/1.0\r\nAuthorization: Basic " + credentials.toBase64() + "\r\n\r\n");
    QByteArray reply;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && socket.waitForReadyRead(200))
        reply += socket.readAll();
    return reply.startsWith("HTTP/1.0 200") || reply.startsWith("HTTP/1.1 200");
}

bool IcecastServer::start(const QString& mount, int toneHz)
{
    m_port = freePort();
    if (!m_dir.isValid() || m_port == 0 || !writeConfiguration()) {
        m_error = QStringLiteral("no folder or port for icecast2");
        return false;
    }
    m_icecast.setProcessChannelMode(QProcess::MergedChannels);
    m_icecast.start(QStringLiteral("icecast2"),
                    {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("icecast.xml"))});
    if (!m_icecast.waitForStarted(5000)) {
        m_error = QStringLiteral("icecast2 does not start: ") + m_icecast.errorString();
        return false;
    }

    QDeadlineTimer deadline(15000);
    bool listening = false;
    while (!listening && !deadline.hasExpired() && m_icecast.state() == QProcess::Running) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        listening = socket.waitForConnected(200);
        if (!listening)
            QTest::qWait(100);
    }
    if (!listening) {
        m_error = QStringLiteral("icecast2 does not listen: ") +
                  QString::fromLocal8Bit(m_icecast.readAll());
        return false;
    }

    m_source.setProcessChannelMode(QProcess::MergedChannels);
    m_source.start(QStringLiteral("ffmpeg"),
                   {"-nostdin", "-loglevel", "error", "-re", "-f", "lavfi", "-i",
                    QStringLiteral("sine=frequency=%1:sample_rate=44100").arg(toneHz), "-ac", "2",
                    "-c:a", "libmp3lame", "-b:a", "128k", "-content_type", "audio/mpeg", "-f",
                    "mp3",
                    QStringLiteral("icecast://source:%1@127.0.0.1:%2%3")
                        .arg(QLatin1String(password))
                        .arg(m_port)
                        .arg(mount)});
    if (!m_source.waitForStarted(5000)) {
        m_error = QStringLiteral("ffmpeg does not start");
        return false;
    }
    while (!deadline.hasExpired() && m_source.state() == QProcess::Running) {
        if (mountOnAir(mount))
            return true;
        QTest::qWait(200);
    }
    m_error = QStringLiteral("the mount is not on the air: ") +
              QString::fromLocal8Bit(m_source.readAll());
    return false;
}
