#pragma once

#include <functional>

namespace mqtest
{
    struct RealtimeCounts
    {
        int allocations, locks;
    };

    // Calls fn on this thread and counts the heap calls (malloc, free and their kin) and the
    // mutex, read-write-lock and condition waits it makes. Linking this replaces the C
    // library's allocator entry points, so it cannot be combined with a sanitizer.
    RealtimeCounts countAllocationsAndLocks (const std::function<void()>& fn);
}
