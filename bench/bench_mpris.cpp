// The player as the program wires it (RadioPlayer, Preferences,
// PlaybackController), playing one URL for a given time, with the MPRIS
// service on the session bus or without it, for bench/playback.sh:
//   bench_mpris URL SECONDS [--mpris]
// or choosing a new station of the catalog every 300 ms while a client on
// the bus follows the metadata, for bench/mpris-stall.sh; prints the longest
// time the event loop was held up while the choices were announced:
//   bench_mpris --stall CHOICES
#include "StallMeter.h"
#include "catalog/RadioStationStore.h"
#include "desktop/MprisService.h"
#include "desktop/StationArtwork.h"
#include "playback/MediaPlayer.h"
#include "playback/PlaybackController.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"

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

    StallMeter stalls;
    int chosen = 0;
    QTimer chooser;
    chooser.setInterval(300);
    QObject::connect(&chooser, &QTimer::timeout, &app, [&] {
        if (chosen == choices) {
            std::printf("stall-ms %.1f\n", stalls.stop());
            app.quit();
            return;
        }
        // Every seventh: a different logo each time.
        preferences.setSelectedRadioStationId(stations.at((chosen++ * 7) % stations.size()).id);
    });
    // A second for the client to subscribe.
    QTimer::singleShot(1000, &app, [&] {
        stalls.start();
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
