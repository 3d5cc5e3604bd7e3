// Plays one URL through Sondik's media player (the mpv plugin, loaded on
// first use) for a given time, printing steady-clock marks for the script:
//   bench_mediaplayer URL SECONDS [--idle S] [--eager] [--preload] [--exit-when-ready]
// --idle S waits S seconds before the first play; --eager loads the backend
// (one idle player) before the event loop starts; --preload asks for the
// backend as the program does when its window is first shown.
// Prints the longest time the event loop was held up in the two seconds from
// the first play ("stall-ms"): a window would freeze for as long.
#include "StallMeter.h"
#include "playback/MediaPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

long long now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void mark(const char* what)
{
    std::printf("%s %lld\n", what, now());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    mark("main");
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_mediaplayer URL SECONDS [--idle S] [--eager] "
                             "[--exit-when-ready]\n");
        return 2;
    }
    const QUrl url(args[1]);
    const double seconds = args[2].toDouble();
    const int idleAt = args.indexOf(QStringLiteral("--idle"));
    const double idle = idleAt > 0 ? args.value(idleAt + 1).toDouble() : 0.0;

    const MediaPlayerFactory factory = defaultMediaPlayerFactory();
    if (args.contains(QStringLiteral("--preload")))
        preloadMediaPlayers();
    std::unique_ptr<MediaPlayer> eager;
    if (args.contains(QStringLiteral("--eager")))
        eager = factory(url);
    std::unique_ptr<MediaPlayer> player;
    int exitCode = 0;

    QTimer::singleShot(0, &app, [&] {
        mark("ready");
        if (args.contains(QStringLiteral("--exit-when-ready")))
            app.quit();
    });
    StallMeter stalls;
    auto stopHeartbeat = [&] {
        if (!stalls.isRunning())
            return;
        std::printf("stall-ms %.1f\n", stalls.stop());
        std::fflush(stdout);
    };

    QTimer::singleShot(std::chrono::milliseconds(qint64(idle * 1000)), &app, [&] {
        stalls.start();
        mark("create");
        player = factory(url);
        if (!player) {
            std::fprintf(stderr, "no media player\n");
            app.exit(1);
            return;
        }
        QObject::connect(player.get(), &MediaPlayer::rateChanged, &app, [&](float rate) {
            std::printf("rate %lld %g\n", now(), rate);
            std::fflush(stdout);
            if (rate == 0.0f)
                exitCode = 3;
        });
        QTimer::singleShot(std::chrono::seconds(2), &app, stopHeartbeat);
        mark("play");
        player->play();
        QTimer::singleShot(std::chrono::milliseconds(qint64(seconds * 1000)), &app,
                           [&] { app.exit(exitCode); });
    });
    const int result = app.exec();
    player.reset();
    eager.reset();
    mark("end");
    return result;
}
