#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

// What a sound server's sink plays, heard through its monitor (parec), as
// the level of the left channel in 10 ms windows, each stamped with the
// steady-clock time its last frame came out: the arrival of the block that
// held it, less the frames that followed it in the block. Blocks are asked
// for every 10 ms, so a stamp is late by little more than that.
class SinkMonitor {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int rate = 44100;
    static constexpr int windowFrames = rate / 100;

    struct Window {
        Clock::time_point end;
        double rms;
    };

    ~SinkMonitor()
    {
        m_parec.kill();
        m_parec.waitForFinished(3000);
    }

    bool start(const QProcessEnvironment& environment, const QString& sink)
    {
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, [this] { take(); });
        m_parec.setProcessEnvironment(environment);
        m_parec.start("parec", {"--device=" + sink + ".monitor", "--format=s16le", "--rate=44100",
                                "--channels=2", "--latency-msec=10", "--raw"});
        return m_parec.waitForStarted(5000);
    }

    // Runs the event loop for that long, taking in what the sink plays.
    void listen(std::chrono::milliseconds duration)
    {
        QEventLoop loop;
        QTimer::singleShot(duration, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // Listens until a window after `from` is louder than `level`; its end,
    // or none within `limit`.
    std::optional<Clock::time_point> waitForLevelAbove(double level, Clock::time_point from,
                                                       std::chrono::milliseconds limit)
    {
        const auto deadline = Clock::now() + limit;
        for (;;) {
            if (auto at = crossing(from, level, true))
                return at;
            if (Clock::now() > deadline)
                return std::nullopt;
            listen(std::chrono::milliseconds(20));
        }
    }

    // The end of the first window after `from` whose level passes `level`
    // (upwards when `rising`).
    std::optional<Clock::time_point> crossing(Clock::time_point from, double level,
                                              bool rising) const
    {
        for (const Window& window : m_windows) {
            if (window.end > from && (rising ? window.rms > level : window.rms < level))
                return window.end;
        }
        return std::nullopt;
    }

    // The end of the last window after `from` louder than `level`; `from`
    // itself when there was none.
    Clock::time_point lastAbove(Clock::time_point from, double level) const
    {
        Clock::time_point last = from;
        for (const Window& window : m_windows) {
            if (window.end > from && window.rms > level)
                last = window.end;
        }
        return last;
    }

    // The level of the windows that ended within [from, to], and the loudest of them.
    std::pair<double, double> level(Clock::time_point from, Clock::time_point to) const
    {
        double sum = 0.0, loudest = 0.0;
        int count = 0;
        for (const Window& window : m_windows) {
            if (window.end >= from && window.end <= to) {
                sum += window.rms * window.rms;
                loudest = std::max(loudest, window.rms);
                ++count;
            }
        }
        return {count ? std::sqrt(sum / count) : 0.0, loudest};
    }

private:
    void take()
    {
        const Clock::time_point arrived = Clock::now();
        m_pending += m_parec.readAllStandardOutput();
        const qsizetype frames = m_pending.size() / 4;
        qsizetype at = 0;
        for (; at + windowFrames <= frames; at += windowFrames) {
            double sum = 0.0;
            for (qsizetype i = at; i < at + windowFrames; ++i) {
                const double x = qFromLittleEndian<qint16>(m_pending.constData() + 4 * i) / 32768.0;
                sum += x * x;
            }
            const auto after = std::chrono::nanoseconds((frames - at - windowFrames) *
                                                        std::int64_t(1000000000) / rate);
            m_windows.push_back({arrived - after, std::sqrt(sum / windowFrames)});
        }
        m_pending.remove(0, at * 4);
    }

    QProcess m_parec;
    QByteArray m_pending;
    std::vector<Window> m_windows;
};
