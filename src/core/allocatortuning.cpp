#include "allocatortuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void AllocatorTuning::apply()
{
#if defined(__GLIBC__)
    // Lists arrive as tens of thousands of small row maps that are freed together. glibc keeps
    // such frees in "fast bins" and later merges them all in one pass, which measured as a fifth
    // of the time of a large list; without fast bins the memory is merged as it is freed.
    mallopt(M_MXFAST, 0);
#endif
}
