#pragma once

// Process-wide settings of the C library's allocator, applied once at start-up, before any
// thread is started.
class AllocatorTuning
{
public:
    static void apply();
};
