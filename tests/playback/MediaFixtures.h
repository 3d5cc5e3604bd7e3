#pragma once

#include "TestHttpServer.h"

#include <QDir>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QTemporaryDir>

#include <numbers>

// Test media made at run time with ffmpeg, a pure tone in the stream forms
// that radio stations send, and a certificate for 127.0.0.1.
class MediaFixtures {
public:
    static constexpr int toneHz = 440;
    // ffmpeg's sine peaks at 1/8, spread over two channels: the level of
    // each at full volume.
    static constexpr double toneRms = 0.125 / std::numbers::sqrt2 / std::numbers::sqrt2;

    // False, with a reason in error(), when ffmpeg could not make them.
    bool make()
    {
        const auto ffmpeg = [this](int seconds, const QString& output) {
            return run("ffmpeg", QStringLiteral("-nostdin -loglevel error -f lavfi -i "
                                                "sine=frequency=%1:sample_rate=44100:duration=%2 "
                                                "-ac 2 %3")
                                     .arg(toneHz)
                                     .arg(seconds)
                                     .arg(output)
                                     .split(' '));
        };
        return m_dir.isValid() && QDir(m_dir.path()).mkpath("hls") &&
               ffmpeg(20, "-c:a libmp3lame -b:a 128k tone.mp3") &&
               ffmpeg(20, "-c:a aac -b:a 128k -f adts tone.aac") &&
               ffmpeg(12, "-c:a aac -f hls -hls_time 2 -hls_playlist_type vod "
                          "-hls_segment_filename hls/segment%02d.ts hls/index.m3u8");
    }
    QString error() const { return m_error; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray file(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Points mpv's pcm output at a new WAV file of this folder and returns its path.
    QString recordToNewFile()
    {
        const QString file = path(QStringLiteral("heard-%1.wav").arg(++m_recordings));
        qputenv("SONDIK_AUDIO_OUTPUT", "pcm");
        qputenv("SONDIK_AUDIO_FILE", file.toLocal8Bit());
        return file;
    }

    // On `server`: streams paced in real time, /live.mp3, /live.aac and
    // /shoutcast (with titles); /short.mp3 (3 s, unpaced); /list.m3u of
    // /live.mp3, /list.pls of /live.aac; /hls/index.m3u8.
    void serve(TestHttpServer& server) const
    {
        const QByteArray mp3 = file("tone.mp3");
        const auto stream = [&](const char* path, const QByteArray& body, int metaInterval = 0) {
            server.add(path, {.kind = TestHttpServer::Route::Stream,
                              .body = body,
                              .contentType = body == mp3 ? "audio/mpeg" : "audio/aac",
                              .bytesPerSecond = 128000 / 8,
                              .metaInterval = metaInterval});
        };
        stream("/live.mp3", mp3);
        stream("/live.aac", file("tone.aac"));
        stream("/shoutcast", mp3, 8192);
        server.addFile("/short.mp3", mp3.left(3 * 128000 / 8), "audio/mpeg");
        server.addFile("/list.m3u", "#EXTM3U\n" + server.url("/live.mp3").toEncoded() + "\n",
                       "audio/x-mpegurl");
        server.addFile("/list.pls",
                       "[playlist]\nNumberOfEntries=1\nFile1=" +
                           server.url("/live.aac").toEncoded() + "\nVersion=2\n",
                       "audio/x-scpls");
        for (const QString& name : QDir(path("hls")).entryList(QDir::Files))
            server.addFile("/hls/" + name, file("hls/" + name),
                           name.endsWith(".ts") ? "video/mp2t" : "application/vnd.apple.mpegurl");
    }

    // A self-signed certificate and key for 127.0.0.1; the certificate's
    // file is certificatePath().
    QSslConfiguration tlsConfiguration()
    {
        QFile key(path("key.pem"));
        if (!run("openssl", QStringLiteral("req -x509 -newkey ec -pkeyopt "
                                           "ec_paramgen_curve:prime256v1 -nodes -days 1 -subj "
                                           "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
                                           "-keyout key.pem -out cert.pem")
                                .split(' ')) ||
            !key.open(QIODevice::ReadOnly))
            return {};
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate::fromPath(certificatePath()).value(0));
        tls.setPrivateKey(QSslKey(&key, QSsl::Ec));
        return tls;
    }
    QString certificatePath() const { return path("cert.pem"); }

private:
    bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(program, arguments);
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0)
            return true;
        m_error = program + ' ' + arguments.join(' ') + ": " + process.readAllStandardError();
        return false;
    }

    QTemporaryDir m_dir;
    QString m_error;
    int m_recordings = 0;
};
