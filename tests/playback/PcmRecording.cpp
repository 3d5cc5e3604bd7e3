#include "PcmRecording.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace {

struct WavFormat {
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;
    bool isFloat = false;
    qint64 dataOffset = 0;
};

// Walks the chunks up to "data"; the data size itself is not trusted.
bool parseHeader(const QByteArray& bytes, WavFormat& format)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    qint64 at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id == "fmt " && at + 8 + 16 <= bytes.size()) {
            const char* f = bytes.constData() + at + 8;
            const quint16 tag = qFromLittleEndian<quint16>(f);
            format.channels = qFromLittleEndian<quint16>(f + 2);
            format.sampleRate = int(qFromLittleEndian<quint32>(f + 4));
            format.bits = qFromLittleEndian<quint16>(f + 14);
            format.isFloat = tag == 3;
            if (tag == 0xFFFE && size >= 40) // extensible: the subformat's first field
                format.isFloat = qFromLittleEndian<quint16>(f + 24) == 3;
        } else if (id == "data") {
            format.dataOffset = at + 8;
            return format.channels > 0 && format.sampleRate > 0 && format.bits > 0;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

} // namespace

bool PcmRecording::read(const QString& path)
{
    m_samples.clear();
    m_sampleRate = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    WavFormat format;
    if (!parseHeader(bytes, format))
        return false;
    const int width = format.bits / 8;
    const qint64 frameBytes = qint64(width) * format.channels;
    const qint64 frames = (bytes.size() - format.dataOffset) / frameBytes;
    m_sampleRate = format.sampleRate;
    m_samples.resize(frames);
    const char* data = bytes.constData() + format.dataOffset;
    for (qint64 i = 0; i < frames; ++i) {
        double sum = 0.0;
        for (int c = 0; c < format.channels; ++c) {
            const char* s = data + i * frameBytes + c * width;
            if (format.isFloat && width == 4)
                sum += qFromLittleEndian<float>(s);
            else if (width == 2)
                sum += qFromLittleEndian<qint16>(s) / 32768.0;
            else if (width == 4)
                sum += qFromLittleEndian<qint32>(s) / 2147483648.0;
            else if (width == 1)
                sum += (quint8(*s) - 128) / 128.0;
        }
        m_samples[i] = float(sum / format.channels);
    }
    return true;
}

qsizetype PcmRecording::framesIn(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(4096);
    WavFormat format;
    if (!parseHeader(head, format))
        return 0;
    return (file.size() - format.dataOffset) / (qint64(format.bits / 8) * format.channels);
}

double PcmRecording::rms(double from, double length) const
{
    const qsizetype begin = qBound<qsizetype>(0, qsizetype(from * m_sampleRate), frames());
    const qsizetype end =
        qBound<qsizetype>(begin, qsizetype((from + length) * m_sampleRate), frames());
    if (end == begin)
        return 0.0;
    double sum = 0.0;
    for (qsizetype i = begin; i < end; ++i)
        sum += double(m_samples[i]) * m_samples[i];
    return std::sqrt(sum / double(end - begin));
}

double PcmRecording::toneShare(double hz, double from, double length) const
{
    const qsizetype begin = qBound<qsizetype>(0, qsizetype(from * m_sampleRate), frames());
    const qsizetype end =
        qBound<qsizetype>(begin, qsizetype((from + length) * m_sampleRate), frames());
    const qsizetype n = end - begin;
    if (n == 0)
        return 0.0;
    const double w = 2.0 * std::numbers::pi * hz / m_sampleRate;
    const double coefficient = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, energy = 0.0;
    for (qsizetype i = begin; i < end; ++i) {
        const double x = m_samples[i];
        energy += x * x;
        const double s = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    if (energy <= 0.0)
        return 0.0;
    // |X(hz)|^2 of a sinusoid is (A n / 2)^2 while its energy is A^2 n / 2.
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return std::min(1.0, 2.0 * power / (double(n) * energy));
}

bool PcmRecording::waitForSeconds(const QString& path, double seconds, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (framesIn(path) < qsizetype(seconds * 44100)) {
        if (clock.elapsed() > limitMs)
            return false;
        QTest::qWait(50);
    }
    return true;
}
