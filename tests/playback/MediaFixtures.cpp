#include "MediaFixtures.h"
#include "TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>

MediaFixtures::MediaFixtures() = default;

bool MediaFixtures::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
                  QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }
    return true;
}

QByteArray MediaFixtures::file(const QString& relativePath) const
{
    QFile file(m_dir.filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void MediaFixtures::serve(TestHttpServer& server) const
{
    using Route = TestHttpServer::Route;
    const qint64 mp3Rate = mp3BitRate / 8, aacRate = aacBitRate / 8;
    server.add("/live.mp3", {.kind = Route::Stream,
                             .body = m_mp3,
                             .contentType = "audio/mpeg",
                             .bytesPerSecond = mp3Rate,
                             .burst = mp3Rate});
    server.add("/live.aac", {.kind = Route::Stream,
                             .body = file("tone.aac"),
                             .contentType = "audio/aac",
                             .bytesPerSecond = aacRate,
                             .burst = aacRate});
    // No head start: what is decoded follows the clock.
    server.add("/paced.mp3", {.kind = Route::Stream,
                              .body = m_mp3,
                              .contentType = "audio/mpeg",
                              .bytesPerSecond = mp3Rate});
    server.add("/shoutcast", {.kind = Route::Stream,
                              .body = m_mp3,
                              .contentType = "audio/mpeg",
                              .bytesPerSecond = mp3Rate,
                              .burst = mp3Rate,
                              .metaInterval = 8192});
    server.addFile("/short.mp3", m_shortMp3, "audio/mpeg");
    server.addFile("/list.m3u",
                   "#EXTM3U\n#EXTINF:-1,Tone\n" + server.url("/live.mp3").toEncoded() + "\n",
                   "audio/x-mpegurl");
    server.addFile("/list.pls",
                   "[playlist]\nNumberOfEntries=1\nFile1=" + server.url("/live.aac").toEncoded() +
                       "\nTitle1=Tone\nLength1=-1\nVersion=2\n",
                   "audio/x-scpls");
    for (const QString& name : QDir(m_dir.filePath(QStringLiteral("hls"))).entryList(QDir::Files))
        server.addFile("/hls/" + name, file("hls/" + name),
                       name.endsWith(".m3u8") ? "application/vnd.apple.mpegurl" : "video/mp2t");
}

QSslConfiguration MediaFixtures::tlsConfiguration()
{
    const QString key = path(QStringLiteral("key.pem"));
    if (!run(QStringLiteral("openssl"),
             {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
              "-days", "1", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
              "-keyout", key, "-out", certificatePath()}))
        return {};
    QFile keyFile(key);
    if (!keyFile.open(QIODevice::ReadOnly))
        return {};
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate::fromPath(certificatePath()).value(0));
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
    return tls;
}

bool MediaFixtures::make()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString tone =
        QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=").arg(toneHz);
    auto ffmpeg = [this](const QStringList& arguments) {
        return run(QStringLiteral("ffmpeg"),
                   QStringList{"-nostdin", "-loglevel", "error", "-y"} + arguments);
    };
    const bool made = ffmpeg({"-f", "lavfi", "-i", tone + "20", "-ac", "2", "-c:a", "libmp3lame",
                              "-b:a", QString::number(mp3BitRate), "tone.mp3"}) &&
                      ffmpeg({"-f", "lavfi", "-i", tone + "20", "-ac", "2", "-c:a", "aac", "-b:a",
                              QString::number(aacBitRate), "-f", "adts", "tone.aac"}) &&
                      ffmpeg({"-i", "tone.mp3", "-c:a", "pcm_s16le", "tone-reference.wav"}) &&
                      ffmpeg({"-f", "lavfi", "-i", tone + "3", "-ac", "2", "-c:a", "libmp3lame",
                              "-b:a", "128000", "short.mp3"}) &&
                      QDir(m_dir.path()).mkpath(QStringLiteral("hls")) &&
                      ffmpeg({"-f", "lavfi", "-i", tone + "12", "-ac", "2", "-c:a", "aac", "-b:a",
                              "96000", "-f", "hls", "-hls_time", "2", "-hls_playlist_type", "vod",
                              "-hls_segment_filename", "hls/segment%02d.ts", "hls/index.m3u8"});
    if (!made)
        return false;
    m_mp3 = file(QStringLiteral("tone.mp3"));
    m_shortMp3 = file(QStringLiteral("short.mp3"));
    return !m_mp3.isEmpty() && !m_shortMp3.isEmpty();
}
