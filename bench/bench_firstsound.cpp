// Reads what the null sink played (parec's raw s16le stereo on stdin) and
// prints the steady-clock time of the first audible sample, then, at the end
// of input, the dropouts: silences of 10 ms or more after sound began. With
// LEVELS, writes there the level of each 10 ms of the left channel: the
// steady-clock time of its last frame and its RMS (full scale 1), a line each.
//   parec ... --raw | bench_firstsound RATE [LEVELS]
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char* argv[])
{
    const long rate = argc > 1 ? std::atol(argv[1]) : 44100;
    const long dropoutFrames = rate / 100;
    const int quiet = 64; // about -54 dBFS
    std::int16_t buffer[2 * 1024];
    bool heard = false;
    long long frames = 0, heardFrames = 0, silentRun = 0, dropouts = 0, longestSilence = 0;
    std::size_t carry = 0;
    std::FILE* levels = argc > 2 ? std::fopen(argv[2], "w") : nullptr;
    // Read while it is written.
    if (levels)
        std::setvbuf(levels, nullptr, _IOLBF, 0);
    const long windowFrames = rate / 100;
    long windowFilled = 0;
    double windowSum = 0.0;
    for (;;) {
        const ssize_t got = read(0, reinterpret_cast<char*>(buffer) + carry, sizeof buffer - carry);
        if (got <= 0)
            break;
        const auto arrived = std::chrono::steady_clock::now();
        const std::size_t bytes = carry + std::size_t(got);
        const std::size_t count = bytes / 4;
        for (std::size_t i = 0; i < count; ++i, ++frames) {
            const int l = std::abs(int(buffer[2 * i])), r = std::abs(int(buffer[2 * i + 1]));
            const bool silent = l < quiet && r < quiet;
            if (levels) {
                windowSum += double(buffer[2 * i]) * buffer[2 * i];
                if (++windowFilled == windowFrames) {
                    const auto end =
                        arrived - std::chrono::nanoseconds((count - i - 1) * 1000000000LL / rate);
                    std::fprintf(levels, "%lld %.5f\n",
                                 (long long)std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     end.time_since_epoch())
                                     .count(),
                                 std::sqrt(windowSum / double(windowFrames)) / 32768.0);
                    windowFilled = 0;
                    windowSum = 0.0;
                }
            }
            if (!heard) {
                if (silent)
                    continue;
                heard = true;
                // This frame is the (count - i)-th from the end of what arrived.
                const auto at =
                    arrived - std::chrono::nanoseconds((count - i) * 1000000000LL / rate);
                std::printf("sound %lld\n",
                            (long long)std::chrono::duration_cast<std::chrono::nanoseconds>(
                                at.time_since_epoch())
                                .count());
                std::fflush(stdout);
            }
            ++heardFrames;
            if (silent) {
                ++silentRun;
            } else {
                if (silentRun >= dropoutFrames) {
                    ++dropouts;
                    std::printf("dropout-at %.3f\n", double(heardFrames - silentRun) / rate);
                    if (silentRun > longestSilence)
                        longestSilence = silentRun;
                }
                silentRun = 0;
            }
        }
        carry = bytes % 4;
        for (std::size_t i = 0; i < carry; ++i)
            reinterpret_cast<char*>(buffer)[i] = reinterpret_cast<char*>(buffer)[count * 4 + i];
    }
    if (levels)
        std::fclose(levels);
    std::printf("heard %.3f\n", double(heardFrames) / rate);
    std::printf("dropouts %lld\n", dropouts);
    std::printf("longest-silence-ms %.1f\n", 1000.0 * double(longestSilence) / rate);
    return 0;
}
