// Proves that processing allocates nothing and takes no lock: the allocation and
// locking entry points are interposed and count calls made by an armed thread.
#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
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

    // Resolved before main, while nothing is armed.
    const MutexFn realMutexLock = nextSymbol<MutexFn> ("pthread_mutex_lock");
    const MutexFn realMutexTryLock = nextSymbol<MutexFn> ("pthread_mutex_trylock");
    const RwLockFn realReadLock = nextSymbol<RwLockFn> ("pthread_rwlock_rdlock");
    const RwLockFn realWriteLock = nextSymbol<RwLockFn> ("pthread_rwlock_wrlock");
    const CondWaitFn realCondWait = nextSymbol<CondWaitFn> ("pthread_cond_wait");

    struct Counts
    {
        int allocations, locks;
    };

    template <typename Fn>
    Counts countDuring (Fn&& fn)
    {
        allocations = 0;
        locks = 0;
        armed = true;
        fn();
        armed = false;
        return { allocations.load(), locks.load() };
    }
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

    int pthread_mutex_lock (pthread_mutex_t* m) { noteLock(); return realMutexLock (m); }
    int pthread_mutex_trylock (pthread_mutex_t* m) { noteLock(); return realMutexTryLock (m); }
    int pthread_rwlock_rdlock (pthread_rwlock_t* l) { noteLock(); return realReadLock (l); }
    int pthread_rwlock_wrlock (pthread_rwlock_t* l) { noteLock(); return realWriteLock (l); }
    int pthread_cond_wait (pthread_cond_t* c, pthread_mutex_t* m) { noteLock(); return realCondWait (c, m); }
}

TEST (RealtimeSafety, DetectorSeesAllocationsAndLocks)
{
    const auto counts = countDuring ([]
    {
        // Called through volatile pointers so the optimiser cannot elide the pair.
        void* (*volatile allocate) (size_t) = ::operator new;
        void (*volatile release) (void*) = ::operator delete;
        release (allocate (16));
        juce::CriticalSection section;
        const juce::ScopedLock lock (section);
        std::mutex mutex;
        const std::lock_guard<std::mutex> guard (mutex);
    });
    EXPECT_GE (counts.allocations, 2);
    EXPECT_GE (counts.locks, 2);
}

TEST (RealtimeSafety, ProcessBlockAllocatesNothingAndTakesNoLock)
{
    for (const auto& set : { juce::AudioChannelSet::stereo(), juce::AudioChannelSet::mono() })
    {
        MarvolenQuistra2AudioProcessor processor;
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.setRateAndBufferSizeDetails (48000.0, 512);
        processor.prepareToPlay (48000.0, 512);

        const auto channels = set.size();
        juce::AudioBuffer<float> buffer (channels, 512);
        juce::AudioBuffer<float> empty (channels, 0);
        juce::MidiBuffer midi;
        auto* drive = processor.apvts.getParameter ("distortion");

        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < 512; ++i)
                buffer.setSample (ch, i, std::sin ((float) i * 0.05f) * (i == 100 ? NAN : 1.0f));

        const auto counts = countDuring ([&]
        {
            for (int block = 0; block < 50; ++block)
            {
                processor.effectOn = block % 7 != 3;
                processor.processBlock (buffer, midi);
                processor.processBlock (empty, midi);
                drive->setValue ((float) block / 50.0f);
            }
        });

        EXPECT_EQ (counts.allocations, 0) << set.getDescription();
        EXPECT_EQ (counts.locks, 0) << set.getDescription();
    }
}
