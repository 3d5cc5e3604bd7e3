// The floor for the playback benchmark: libmpv with its built-in scripts off
// and otherwise its defaults, playing one URL.
//   bench_barempv URL SECONDS [OPTION=VALUE...]
// Extra options go to mpv as they stand (for example ao=pcm ao-pcm-file=F).
// Each line on standard input is run as an mpv command ("set volume 63",
// "stop"), as a user's key would.
#include <mpv/client.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

long long now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_barempv URL SECONDS [OPTION=VALUE...]\n");
        return 2;
    }
    std::printf("main %lld\n", now());
    std::setlocale(LC_NUMERIC, "C");
    std::printf("create %lld\n", now());
    mpv_handle* mpv = mpv_create();
    for (const char* option : {"load-scripts", "load-stats-overlay", "load-osd-console",
                               "load-auto-profiles", "osc", "ytdl", "vid"})
        mpv_set_option_string(mpv, option, "no");
    for (int i = 3; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (!equals)
            return 2;
        const std::string name(argv[i], static_cast<std::size_t>(equals - argv[i]));
        if (mpv_set_option_string(mpv, name.c_str(), equals + 1) < 0) {
            std::fprintf(stderr, "bench_barempv: mpv refused %s\n", argv[i]);
            return 2;
        }
    }
    if (mpv_initialize(mpv) < 0)
        return 1;
    const char* load[] = {"loadfile", argv[1], nullptr};
    std::printf("play %lld\n", now());
    std::fflush(stdout);
    mpv_command_async(mpv, 0, load);
    // Left running at the end: a read of the terminal may never return.
    std::thread([mpv] {
        char line[256];
        while (std::fgets(line, sizeof line, stdin)) {
            line[std::strcspn(line, "\n")] = '\0';
            mpv_command_string(mpv, line);
        }
    }).detach();
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    int exitCode = 0;
    while (std::chrono::steady_clock::now() < end) {
        const double left =
            std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
        const mpv_event* event = mpv_wait_event(mpv, left > 0 ? left : 0);
        if (event->event_id == MPV_EVENT_END_FILE)
            exitCode = 3;
        // Where the start-up time goes: file opened, playback under way.
        if (event->event_id == MPV_EVENT_FILE_LOADED)
            std::printf("loaded %lld\n", now());
        if (event->event_id == MPV_EVENT_PLAYBACK_RESTART)
            std::printf("restart %lld\n", now());
        std::fflush(stdout);
    }
    mpv_terminate_destroy(mpv);
    std::printf("end %lld\n", now());
    return exitCode;
}
