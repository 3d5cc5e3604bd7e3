#pragma once

#include <QByteArray>
#include <QSslConfiguration>
#include <QString>
#include <QTemporaryDir>

class TestHttpServer;

// Test media made at run time with ffmpeg: a pure tone in the stream forms
// that radio stations send; and a certificate for 127.0.0.1.
class MediaFixtures {
public:
    static constexpr int toneHz = 440;
    static constexpr int mp3BitRate = 128000;

    // False, with a reason in error(), when ffmpeg could not make them.
    bool make();
    QString error() const { return m_error; }
    QString dir() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray file(const QString& relativePath) const;

    // 20 s of the tone, constant bit rate.
    QByteArray mp3() const { return file(QStringLiteral("tone.mp3")); }
    // tone.mp3 decoded by ffmpeg: the level to expect at full volume.
    QString referenceWav() const { return path(QStringLiteral("tone-reference.wav")); }
    // Points mpv's pcm output at a new WAV file of this folder and returns its path.
    QString recordToNewFile();

    // The stream forms on `server`: /live.mp3 and /live.aac (paced after a
    // one-second burst), /paced.mp3 (no burst), /short.mp3 (3 s, unpaced),
    // /list.m3u (of /live.mp3), /list.pls (of /live.aac), /shoutcast,
    // /hls/index.m3u8.
    void serve(TestHttpServer& server) const;

    // A self-signed certificate and key for 127.0.0.1, made with openssl;
    // the certificate's file is certificatePath().
    QSslConfiguration tlsConfiguration();
    QString certificatePath() const { return path(QStringLiteral("cert.pem")); }

private:
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir m_dir;
    QString m_error;
    int m_recordings = 0;
};
