#include "IcecastServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const password = "sondik-test";

// Runs the event loop until `ready` or the deadline.
template <typename Ready> bool waitFor(const QDeadlineTimer& deadline, Ready ready)
{
    while (!ready()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}

} // namespace

IcecastServer::~IcecastServer()
{
    for (QProcess* process : {&m_source, &m_icecast}) {
        process->kill();
        process->waitForFinished(5000);
    }
}

QUrl IcecastServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
}

bool IcecastServer::setSong(const QString& mount, const QByteArray& song)
{
    const QByteArray credentials = QByteArray("admin:") + password;
    return answersOk("GET /admin/metadata?mount=" + QUrl::toPercentEncoding(mount) +
                     "&mode=updinfo&charset=UTF-8&song=" + QUrl::toPercentEncoding(song) +
                     " HTTP/1.0\r\nAuthorization: Basic " + credentials.toBase64() + "\r\n\r\n");
}

bool IcecastServer::answersOk(const QByteArray& request) const
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(request);
    QByteArray reply;
    QDeadlineTimer deadline(5000);
    while (!reply.contains("\r\n\r\n") && !deadline.hasExpired() && socket.waitForReadyRead(200))
        reply += socket.readAll();
    return reply.startsWith("HTTP/1.0 200") || reply.startsWith("HTTP/1.1 200");
}

bool IcecastServer::start(const QString& mount, int toneHz)
{
    QTcpServer probe; // for a free port
    m_port = probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    probe.close();
    // icecast2 refuses to run as root unless it drops to another user, who
    // then writes the logs.
    const bool root = ::geteuid() == 0;
    if (root)
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0707);
    const QString config =
        QStringLiteral(
            "<icecast><hostname>127.0.0.1</hostname>\n"
            "<limits><clients>20</clients><sources>2</sources><queue-size>524288</queue-size>\n"
            "  <client-timeout>30</client-timeout><header-timeout>15</header-timeout>\n"
            "  <source-timeout>10</source-timeout><burst-on-connect>1</burst-on-connect>\n"
            "  <burst-size>65535</burst-size></limits>\n"
            "<authentication><source-password>%1</source-password><admin-user>admin</admin-user>\n"
            "  <admin-password>%1</admin-password></authentication>\n"
            "<listen-socket><port>%2</port><bind-address>127.0.0.1</bind-address></listen-socket>\n"
            "<paths><basedir>/usr/share/icecast2</basedir><logdir>%3</logdir>\n"
            "  <webroot>/usr/share/icecast2/web</webroot>\n"
            "  <adminroot>/usr/share/icecast2/admin</adminroot></paths>\n"
            "<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>\n"
            "  <loglevel>2</loglevel></logging>\n"
            "<security><chroot>0</chroot>%4</security></icecast>\n")
            .arg(QLatin1String(password))
            .arg(m_port)
            .arg(m_dir.path())
            .arg(root ? "<changeowner><user>nobody</user><group>nogroup</group></changeowner>"
                      : "");
    QFile file(m_dir.filePath(QStringLiteral("icecast.xml")));
    if (!m_dir.isValid() || m_port == 0 || !file.open(QIODevice::WriteOnly) ||
        file.write(config.toUtf8()) <= 0) {
        m_error = QStringLiteral("no folder or port for icecast2");
        return false;
    }
    file.close();

    const QDeadlineTimer deadline(15000);
    m_icecast.setProcessChannelMode(QProcess::MergedChannels);
    m_icecast.start(QStringLiteral("icecast2"), {QStringLiteral("-c"), file.fileName()});
    if (!waitFor(deadline, [this] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            return socket.waitForConnected(200);
        })) {
        m_error = QStringLiteral("icecast2 does not listen: ") + m_icecast.errorString() +
                  QString::fromLocal8Bit(m_icecast.readAll());
        return false;
    }

    m_source.setProcessChannelMode(QProcess::MergedChannels);
    m_source.start(QStringLiteral("ffmpeg"),
                   QStringLiteral("-nostdin -loglevel error -re -f lavfi -i "
                                  "sine=frequency=%1:sample_rate=44100 -ac 2 -c:a libmp3lame "
                                  "-b:a 128k -content_type audio/mpeg -f mp3 "
                                  "icecast://source:%2@127.0.0.1:%3%4")
                       .arg(toneHz)
                       .arg(QLatin1String(password))
                       .arg(m_port)
                       .arg(mount)
                       .split(QLatin1Char(' ')));
    // The mount answers 200 with audio once the source feeds it.
    if (waitFor(deadline, [&] {
            return answersOk("GET " + mount.toUtf8() + " HTTP/1.0\r\nUser-Agent: probe\r\n\r\n");
        }))
        return true;
    m_error = QStringLiteral("the mount is not on the air: ") + m_source.errorString() +
              QString::fromLocal8Bit(m_source.readAll());
    return false;
}
