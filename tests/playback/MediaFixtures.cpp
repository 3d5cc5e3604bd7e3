#include "MediaFixtures.h"
#include "TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>

bool MediaFixtures::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(program, arguments);
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    m_error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") +
              QString::fromLocal8Bit(process.readAllStandardError());
    return false;
}

QByteArray MediaFixtures::file(const QString& relativePath) const
{
    QFile file(m_dir.filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void MediaFixtures::serve(TestHttpServer& server) const
{
    using Route = TestHttpServer::Route;
    const qint64 mp3Rate = mp3BitRate / 8, aacRate = 96000 / 8;
    const QByteArray mp3 = this->mp3();
    server.add("/live.mp3", {.kind = Route::Stream,
                             .body = mp3,
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
                              .body = mp3,
                              .contentType = "audio/mpeg",
                              .bytesPerSecond = mp3Rate});
    server.add("/shoutcast", {.kind = Route::Stream,
                              .body = mp3,
                              .contentType = "audio/mpeg",
                              .bytesPerSecond = mp3Rate,
                              .burst = mp3Rate,
                              .metaInterval = 8192});
    server.addFile("/short.mp3", file("short.mp3"), "audio/mpeg");
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
    QFile keyFile(key);
    if (!run(QStringLiteral("openssl"),
             {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
              "-days", "1", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
              "-keyout", key, "-out", certificatePath()}) ||
        !keyFile.open(QIODevice::ReadOnly))
        return {};
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate::fromPath(certificatePath()).value(0));
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
    return tls;
}

bool MediaFixtures::make()
{
    const auto ffmpeg = [this](const QStringList& arguments) {
        return run(QStringLiteral("ffmpeg"),
                   QStringList{"-nostdin", "-loglevel", "error", "-y"} + arguments);
    };
    // The tone, in stereo, for the codec named next.
    const auto tone = [](int seconds) {
        return QStringList{
            "-f",
            "lavfi",
            "-i",
            QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(toneHz).arg(seconds),
            "-ac",
            "2",
            "-c:a"};
    };
    const QString mp3Rate = QString::number(mp3BitRate);
    return m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("hls")) &&
           ffmpeg(tone(20) + QStringList{"libmp3lame", "-b:a", mp3Rate, "tone.mp3"}) &&
           ffmpeg(tone(3) + QStringList{"libmp3lame", "-b:a", mp3Rate, "short.mp3"}) &&
           ffmpeg({"-i", "tone.mp3", "-c:a", "pcm_s16le", "tone-reference.wav"}) &&
           ffmpeg(tone(20) + QStringList{"aac", "-b:a", "96000", "-f", "adts", "tone.aac"}) &&
           ffmpeg(tone(12) + QStringList{"aac", "-b:a", "96000", "-f", "hls", "-hls_time", "2",
                                         "-hls_playlist_type", "vod", "-hls_segment_filename",
                                         "hls/segment%02d.ts", "hls/index.m3u8"});
}
