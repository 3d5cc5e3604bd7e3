// What the end-to-end test hears: reads the WAV file that mpv's pcm output
// writes and prints "seconds rms toneshare" for its last half second (the
// tone share at HZ, 0 to 1). Prints "0 0 0" while there is nothing to read.
//
//   pcmprobe FILE HZ
#include "PcmRecording.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 3)
        return 2;
    PcmRecording recording;
    if (!recording.read(QString::fromLocal8Bit(argv[1])) || recording.seconds() < 0.5) {
        std::printf("%.3f 0 0\n", recording.seconds());
        return 0;
    }
    const double from = recording.seconds() - 0.5;
    std::printf("%.3f %.5f %.3f\n", recording.seconds(), recording.rms(from, 0.5),
                recording.toneShare(std::atof(argv[2]), from, 0.5));
    return 0;
}
