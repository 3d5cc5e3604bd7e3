#pragma once

// Limits glibc's malloc to a few arenas. Each mpv core runs a handful of
// threads (demuxer, decoder, audio output, network); left alone, glibc gives
// each new thread an arena of its own, and what a core's threads free stays
// there, fragmented, after the core is gone: every station change leaves a
// little more behind. Called first thing in main, before any thread starts.
void tuneMemoryForMediaCores();
