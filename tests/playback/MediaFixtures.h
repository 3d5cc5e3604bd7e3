#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Test media made at run time with ffmpeg: a pure tone in the stream forms
// that radio stations send.
class MediaFixtures {
public:
    static constexpr int toneHz = 440;
    static constexpr int mp3BitRate = 128000;
    static constexpr int aacBitRate = 96000;

    MediaFixtures();
    // False, with a reason in error(), when ffmpeg could not make them.
    bool make();
    QString error() const { return m_error; }
    QString dir() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // 20 s of the tone, constant bit rate.
    QByteArray mp3() const { return m_mp3; }
    QByteArray aac() const { return m_aac; }
    // A short file for fast, unpaced playback.
    QByteArray shortMp3() const { return m_shortMp3; }
    // tone.mp3 decoded by ffmpeg: the level to expect at full volume.
    QString referenceWav() const { return QStringLiteral("tone-reference.wav"); }
    // HLS: the playlist and its segments, all under the "hls/" folder.
    QString hlsPlaylistName() const { return QStringLiteral("index.m3u8"); }
    QStringList hlsFiles() const;
    QByteArray file(const QString& relativePath) const;

private:
    bool run(const QStringList& arguments);

    QTemporaryDir m_dir;
    QString m_error;
    QByteArray m_mp3;
    QByteArray m_aac;
    QByteArray m_shortMp3;
};
