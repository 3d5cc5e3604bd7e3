#pragma once

// Keeps glibc's malloc from holding on to what media cores free. Each mpv core
// runs a handful of threads (demuxer, decoder, audio output, network); left
// alone, glibc gives new threads arenas of their own and lets large buffers
// into them, and what a core frees stays there, fragmented, after the core is
// gone: every station change leaves a little more behind. Called first thing
// in main, before any thread starts.
void tuneMemoryForMediaCores();
