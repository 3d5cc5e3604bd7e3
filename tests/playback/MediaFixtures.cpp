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

QString MediaFixtures::recordToNewFile()
{
    const QString file = path(QStringLiteral("heard-%1.wav").arg(++m_recordings));
    qputenv("SONDIK_AUDIO_OUTPUT", "pcm");
    qputenv("SONDIK_AUDIO_FILE", file.toLocal8Bit());
    return file;
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
    const QStringList request =
        QStringLiteral("req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
                       "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1")
            .split(QLatin1Char(' '));
    if (!run(QStringLiteral("openssl"),
             request + QStringList{"-keyout", key, "-out", certificatePath()}) ||
        !keyFile.open(QIODevice::ReadOnly))
        return {};
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate::fromPath(certificatePath()).value(0));
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
    return tls;
}

bool MediaFixtures::make()
{
    // The tone in stereo for `seconds`, then the rest of ffmpeg's arguments.
    const auto ffmpeg = [this](int seconds, const QString& output) {
        const QString tone = seconds ? QStringLiteral("-f lavfi -i sine=frequency=%1:"
                                                      "sample_rate=44100:duration=%2 -ac 2 ")
                                           .arg(toneHz)
                                           .arg(seconds)
                                     : QString();
        return run(QStringLiteral("ffmpeg"),
                   ("-nostdin -loglevel error -y " + tone + output).split(QLatin1Char(' ')));
    };
    const QString mp3 = QStringLiteral("-c:a libmp3lame -b:a %1 ").arg(mp3BitRate);
    return m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("hls")) &&
           ffmpeg(20, mp3 + "tone.mp3") && ffmpeg(3, mp3 + "short.mp3") &&
           ffmpeg(0, "-i tone.mp3 -c:a pcm_s16le tone-reference.wav") &&
           ffmpeg(20, "-c:a aac -b:a 96000 -f adts tone.aac") &&
           ffmpeg(12, "-c:a aac -b:a 96000 -f hls -hls_time 2 -hls_playlist_type vod "
                      "-hls_segment_filename hls/segment%02d.ts hls/index.m3u8");
}
