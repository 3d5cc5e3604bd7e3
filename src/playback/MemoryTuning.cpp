#include "MemoryTuning.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

void tuneMemoryForMediaCores()
{
#ifdef __GLIBC__
    // Two arenas: the main thread's and one that all others share.
    mallopt(M_ARENA_MAX, 2);
#endif
}
