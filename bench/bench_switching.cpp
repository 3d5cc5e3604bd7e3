// Switches between streams through Sondik's media-player factory as the
// radio player does when the user clicks one station after another: a new
// player for the next stream, the previous one let go of. Prints anonymous
// memory, RSS and threads after 10 switches, after the last and 5 s later.
//   bench_switching SWITCHES PER_SECOND URL...
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"
#include "playback/MemoryTuning.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

QByteArray statusField(const QByteArray& status, const char* name)
{
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).simplified();
    }
    return "?";
}

void report(const char* when)
{
    QFile file(QStringLiteral("/proc/self/status"));
    QByteArray status;
    if (file.open(QIODevice::ReadOnly))
        status = file.readAll();
    std::printf("%-14s anonymous %10s   RSS %10s   threads %3s   cores %d\n", when,
                statusField(status, "RssAnon:").constData(),
                statusField(status, "VmRSS:").constData(),
                statusField(status, "Threads:").constData(), mediaPlayerCoreCount());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    // As the program does, unless the run measures without it.
    if (!qEnvironmentVariableIsSet("SONDIK_BENCH_UNTUNED"))
        tuneMemoryForMediaCores();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: bench_switching SWITCHES PER_SECOND URL...\n");
        return 2;
    }
    const int switches = args[1].toInt();
    const double perSecond = args[2].toDouble();
    QList<QUrl> urls;
    for (const QString& arg : args.mid(3))
        urls.append(QUrl(arg));

    const MediaPlayerFactory factory = defaultMediaPlayerFactory();
    std::unique_ptr<MediaPlayer> player;
    int done = 0;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    pace.setInterval(std::chrono::milliseconds(qRound64(1000.0 / perSecond)));
    QObject::connect(&pace, &QTimer::timeout, &app, [&] {
        std::unique_ptr<MediaPlayer> next = factory(urls[done % urls.size()]);
        if (!next) {
            std::fprintf(stderr, "no media player\n");
            app.exit(1);
            return;
        }
        next->setVolume(0.8f);
        next->play();
        player = std::move(next); // the previous one goes, as with a new click
        ++done;
        if (done == 10)
            report("after 10");
        if (done == switches) {
            pace.stop();
            report(qPrintable(QStringLiteral("after %1").arg(switches)));
            QTimer::singleShot(5000, &app, [&] {
                report("5 s later");
                app.quit();
            });
        }
    });
    pace.start();
    const int result = app.exec();
    player.reset();
    return result;
}
