// Interposes the allocation and locking entry points of the C library for the whole test
// program and counts the calls made by an armed thread.
#include "RealtimeCounter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);
}

namespace
{
    thread_local bool armed = false;
    std::atomic<int> allocations { 0 };
    std::atomic<int> locks { 0 };

    void noteAllocation() noexcept { if (armed) ++allocations; }
    void noteLock() noexcept { if (armed) ++locks; }

    template <typename Fn>
    Fn nextSymbol (const char* name)
    {
        return reinterpret_cast<Fn> (dlsym (RTLD_NEXT, name));
    }

    using MutexFn = int (*) (pthread_mutex_t*);
    using RwLockFn = int (*) (pthread_rwlock_t*);
    using CondWaitFn = int (*) (pthread_cond_t*, pthread_mutex_t*);


}

extern "C"
{
    void* malloc (size_t size) { noteAllocation(); return __libc_malloc (size); }
    void* calloc (size_t n, size_t size) { noteAllocation(); return __libc_calloc (n, size); }
    void* realloc (void* p, size_t size) { noteAllocation(); return __libc_realloc (p, size); }
    void* memalign (size_t alignment, size_t size) { noteAllocation(); return __libc_memalign (alignment, size); }
    void* aligned_alloc (size_t alignment, size_t size) { noteAllocation(); return __libc_memalign (alignment, size); }
    void free (void* p) { noteAllocation(); __libc_free (p); }

    int posix_memalign (void** out, size_t alignment, size_t size)
    {
        noteAllocation();
        *out = __libc_memalign (alignment, size);
        return *out != nullptr ? 0 : ENOMEM;
    }

    // Resolved on first use: static initialisers elsewhere may lock before this file's run.
    int pthread_mutex_lock (pthread_mutex_t* m)
    {
        noteLock();
        static const auto real = nextSymbol<MutexFn> ("pthread_mutex_lock");
        return real (m);
    }

    int pthread_mutex_trylock (pthread_mutex_t* m)
    {
        noteLock();
        static const auto real = nextSymbol<MutexFn> ("pthread_mutex_trylock");
        return real (m);
    }

    int pthread_rwlock_rdlock (pthread_rwlock_t* l)
    {
        noteLock();
        static const auto real = nextSymbol<RwLockFn> ("pthread_rwlock_rdlock");
        return real (l);
    }

    int pthread_rwlock_wrlock (pthread_rwlock_t* l)
    {
        noteLock();
        static const auto real = nextSymbol<RwLockFn> ("pthread_rwlock_wrlock");
        return real (l);
    }

    int pthread_cond_wait (pthread_cond_t* c, pthread_mutex_t* m)
    {
        noteLock();
        static const auto real = nextSymbol<CondWaitFn> ("pthread_cond_wait");
        return real (c, m);
    }
}

namespace mqtest
{
    RealtimeCounts countAllocationsAndLocks (const std::function<void()>& fn)
    {
        allocations = 0;
        locks = 0;
        armed = true;
        fn();
        armed = false;
        return { allocations.load(), locks.load() };
    }
}
