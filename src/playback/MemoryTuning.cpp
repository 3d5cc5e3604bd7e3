#include "MemoryTuning.h"

#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#ifdef __GLIBC__
#include <malloc.h>
#endif

void tuneMemoryForMediaCores()
{
#ifdef __GLIBC__
    // Two arenas: the main thread's and one that all others share.
    mallopt(M_ARENA_MAX, 2);
    // Blocks from 128 KiB up (demuxer and decoder buffers) are mapped on their
    // own and given back when freed. glibc otherwise raises this limit after
    // the first such block is freed, and later ones fragment the arena.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
