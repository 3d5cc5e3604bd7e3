#include "MediaFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>

MediaFixtures::MediaFixtures() = default;

bool MediaFixtures::run(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.setWorkingDirectory(m_dir.path());
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                             QStringLiteral("error"), QStringLiteral("-y")} +
                     arguments);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0) {
        m_error = QStringLiteral("ffmpeg %1: %2")
                      .arg(arguments.join(QLatin1Char(' ')),
                           QString::fromLocal8Bit(ffmpeg.readAllStandardError()));
        return false;
    }
    return true;
}

QByteArray MediaFixtures::file(const QString& relativePath) const
{
    QFile file(m_dir.filePath(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList MediaFixtures::hlsFiles() const
{
    return QDir(m_dir.filePath(QStringLiteral("hls"))).entryList(QDir::Files, QDir::Name);
}

bool MediaFixtures::make()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString tone =
        QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=").arg(toneHz);
    const bool made = run({"-f", "lavfi", "-i", tone + "20", "-ac", "2", "-c:a", "libmp3lame",
                           "-b:a", QString::number(mp3BitRate), "tone.mp3"}) &&
                      run({"-f", "lavfi", "-i", tone + "20", "-ac", "2", "-c:a", "aac", "-b:a",
                           QString::number(aacBitRate), "-f", "adts", "tone.aac"}) &&
                      run({"-i", "tone.mp3", "-c:a", "pcm_s16le", "tone-reference.wav"}) &&
                      run({"-f", "lavfi", "-i", tone + "3", "-ac", "2", "-c:a", "libmp3lame",
                           "-b:a", "128000", "short.mp3"}) &&
                      QDir(m_dir.path()).mkpath(QStringLiteral("hls")) &&
                      run({"-f", "lavfi", "-i", tone + "12", "-ac", "2", "-c:a", "aac", "-b:a",
                           "96000", "-f", "hls", "-hls_time", "2", "-hls_playlist_type", "vod",
                           "-hls_segment_filename", "hls/segment%02d.ts", "hls/index.m3u8"});
    if (!made)
        return false;
    m_mp3 = file(QStringLiteral("tone.mp3"));
    m_aac = file(QStringLiteral("tone.aac"));
    m_shortMp3 = file(QStringLiteral("short.mp3"));
    return !m_mp3.isEmpty() && !m_aac.isEmpty() && !m_shortMp3.isEmpty();
}
