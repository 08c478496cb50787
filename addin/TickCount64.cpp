// The thread runtime linked into the DLL (winpthreads, under libstdc++'s mutexes
// and once-flags) measures its waits with GetTickCount64, which KERNEL32 has only
// from Vista on: the import alone keeps the editor from loading the add-in on
// Windows XP. Its import pointer is defined here instead, so the linker takes this
// one and the DLL imports no GetTickCount64; the runtime gets the same milliseconds
// count from the performance counter, which every Windows the host ran on has.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
    LARGE_INTEGER count{}, frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const auto perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
    const auto ticks = static_cast<ULONGLONG>(count.QuadPart);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

}  // namespace

// The name the runtime's dllimport call reads the function's address from.
extern "C" ULONGLONG(WINAPI* const g_importedTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
