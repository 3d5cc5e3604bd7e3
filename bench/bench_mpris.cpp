// The player as the program wires it (RadioPlayer, Preferences,
// PlaybackController), playing one URL for a given time, with the MPRIS
// service on the session bus or without it, for bench/playback.sh:
//   bench_mpris URL SECONDS [--mpris]
// or choosing a new station of the catalog every 300 ms while a client on
// the bus follows the metadata, for bench/mpris-stall.sh; prints the longest
// time the event loop was held up while the choices were announced:
//   bench_mpris --stall CHOICES
#include "catalog/RadioStationStore.h"
#include "desktop/MprisService.h"
#include "desktop/StationArtwork.h"
#include "playback/MediaPlayer.h"
#include "playback/PlaybackController.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

int measureStall(QGuiApplication& app, int choices)
{
    QTemporaryDir dir;
    const QList<RadioStation> stations = RadioStationStore().radioStations();
    Preferences preferences(dir.filePath(QStringLiteral("prefs.conf")));
    RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
    PlaybackController controller(radio, preferences, [&stations] { return stations; });
    StationArtwork artwork(dir.filePath(QStringLiteral("logos")));
    MprisService mpris(controller, radio, preferences, artwork);
    if (!mpris.start())
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);

    // A 1 ms timer: the longest gap between two of its firings, less the
    // interval, is the longest time nothing else could run.
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QElapsedTimer sinceBeat;
    qint64 longestGap = 0;
    QObject::connect(&heartbeat, &QTimer::timeout, &app, [&] {
        longestGap = std::max(longestGap, sinceBeat.nsecsElapsed());
        sinceBeat.restart();
    });
    int chosen = 0;
    QTimer chooser;
    chooser.setInterval(300);
    QObject::connect(&chooser, &QTimer::timeout, &app, [&] {
        if (chosen == choices) {
            std::printf("stall-ms %.1f\n", std::max(0.0, double(longestGap) / 1e6 - 1.0));
            app.quit();
            return;
        }
        // Every seventh: a different logo each time.
        preferences.setSelectedRadioStationId(stations.at((chosen++ * 7) % stations.size()).id);
    });
    // A second for the client to subscribe.
    QTimer::singleShot(1000, &app, [&] {
        sinceBeat.start();
        heartbeat.start();
        chooser.start();
    });
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--stall"))
        return measureStall(app, args[2].toInt());
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_mpris URL SECONDS [--mpris] | --stall CHOICES\n");
        return 2;
    }
    QTemporaryDir dir;
    const QList<RadioStation> stations = {
        {"bench", "Bench FM", "", "Loopback", std::nullopt, "bench", args[1]}};
    Preferences preferences(dir.filePath(QStringLiteral("prefs.conf")));
    RadioPlayer radio(defaultMediaPlayerFactory(), QStringLiteral("unused.invalid"));
    PlaybackController controller(radio, preferences, [&stations] { return stations; });
    StationArtwork artwork(dir.filePath(QStringLiteral("logos")));
    std::unique_ptr<MprisService> mpris;
    if (args.contains(QStringLiteral("--mpris"))) {
        mpris = std::make_unique<MprisService>(controller, radio, preferences, artwork);
        if (!mpris->start())
            return 1;
    }
    controller.selectStation(stations.first());
    std::printf("play\n");
    std::fflush(stdout);
    QTimer::singleShot(int(args[2].toDouble() * 1000), &app, &QCoreApplication::quit);
    const int code = app.exec();
    return radio.player() ? code : 3;
}
