// The player as the program wires it (RadioPlayer, Preferences,
// PlaybackController), playing one URL for a given time, with the MPRIS
// service on the session bus or without it, for bench/playback.sh:
//   bench_mpris URL SECONDS [--mpris]
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

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_mpris URL SECONDS [--mpris]\n");
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
