// What the compiled-client benchmarks share: the process's peak memory, a
// stopwatch, and the library's object made as a compiled client makes it.
#pragma once

#include "Ormelin0105.h"

#include <windows.h>

#include <psapi.h>

#include <chrono>

namespace bench {

inline double PeakMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize / 1048576.0;
}

inline double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The registered tovFSO through its early-bound interface; null when the
// library is not registered. The caller has initialised COM.
inline _tovFSO* CreateTovFso()
{
    _tovFSO* fso = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_tovFSO, nullptr, CLSCTX_INPROC_SERVER, IID__tovFSO,
                                  reinterpret_cast<void**>(&fso))))
        return nullptr;
    return fso;
}

} // namespace bench
