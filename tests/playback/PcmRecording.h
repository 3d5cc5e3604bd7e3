#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <span>

// What mpv's pcm output wrote: a WAV file of 16-bit stereo at 44.1 kHz (the
// player sets that format for this output), whose header sizes may still be
// unset while it runs. The left channel is read.
class PcmRecording {
public:
    static constexpr int rate = 44100;

    // False when the file is missing or not a WAV file.
    bool read(const QString& path)
    {
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const qsizetype data = bytes.indexOf("data");
        m_samples.clear();
        for (qsizetype at = data + 8; data > 0 && at + 4 <= bytes.size(); at += 4)
            m_samples.append(qFromLittleEndian<qint16>(bytes.constData() + at) / 32768.0f);
        return bytes.startsWith("RIFF") && data > 0;
    }

    double seconds() const { return double(m_samples.size()) / rate; }
    // Root mean square of the samples in [from, from + length) seconds.
    double rms(double from, double length) const
    {
        double sum = 0.0;
        const auto samples = span(from, length);
        for (float x : samples)
            sum += double(x) * x;
        return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
    }
    // Share of the signal's energy at `hz` in that span, 0.0 to 1.0 (Goertzel:
    // |X(hz)|^2 of a sinusoid is (A n / 2)^2 while its energy is A^2 n / 2).
    double toneShare(double hz, double from, double length) const
    {
        const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / rate);
        double s1 = 0.0, s2 = 0.0, energy = 0.0;
        const auto samples = span(from, length);
        for (float x : samples) {
            energy += double(x) * x;
            s2 = std::exchange(s1, x + coefficient * s1 - s2);
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        return energy > 0.0 ? std::min(1.0, 2.0 * power / (double(samples.size()) * energy)) : 0.0;
    }

    // Runs the event loop until `seconds` of audio are in the file; false when
    // `limitMs` passes first.
    static bool waitForSeconds(const QString& path, double seconds, int limitMs)
    {
        QElapsedTimer clock;
        clock.start();
        PcmRecording heard;
        while (!heard.read(path) || heard.seconds() < seconds) {
            if (clock.elapsed() > limitMs)
                return false;
            QTest::qWait(50);
        }
        return true;
    }

private:
    std::span<const float> span(double from, double length) const
    {
        const qsizetype end = m_samples.size();
        const qsizetype begin = qBound<qsizetype>(0, qsizetype(from * rate), end);
        const qsizetype last = qBound<qsizetype>(begin, qsizetype((from + length) * rate), end);
        return {m_samples.constData() + begin, size_t(last - begin)};
    }

    QList<float> m_samples;
};
