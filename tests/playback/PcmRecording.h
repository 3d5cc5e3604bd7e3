#pragma once

#include <QString>
#include <QVector>

// What mpv's pcm audio output wrote: a WAV file whose sizes in the header may
// still be unset while the player runs. Samples are mixed down to mono.
class PcmRecording {
public:
    // False when the file is missing or not a WAV file mpv writes.
    bool read(const QString& path);

    int sampleRate() const { return m_sampleRate; }
    qsizetype frames() const { return m_samples.size(); }
    double seconds() const { return m_sampleRate ? double(frames()) / m_sampleRate : 0.0; }
    // Root mean square of the samples in [from, from + length) seconds.
    double rms(double from, double length) const;
    // Share of the signal's energy at `hz` in that span, 0.0 to 1.0
    // (Goertzel; 1.0 for a pure tone of that frequency).
    double toneShare(double hz, double from, double length) const;

    // Frames of the WAV file at `path` now, without reading the samples.
    static qsizetype framesIn(const QString& path);
    // Runs the event loop until `seconds` of 44.1 kHz audio are in the file;
    // false when `limitMs` passes first.
    static bool waitForSeconds(const QString& path, double seconds, int limitMs);

private:
    int m_sampleRate = 0;
    QVector<float> m_samples;
};
