// The thread runtime linked into the DLL (winpthreads, under libstdc++'s mutexes
// and once-flags) imports three KERNEL32 functions that Windows 2000, the oldest
// Windows the host ran on, does not export: the import alone would keep the editor
// from loading the add-in there. Their import pointers are defined here instead, so
// the linker takes these and the DLL imports none of them.
#include <windows.h>

namespace {

// The runtime measures its waits with GetTickCount64 (Vista on): the same
// milliseconds count comes from the performance counter, which every Windows has.
ULONGLONG WINAPI TickCount64() {
    LARGE_INTEGER count{}, frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const auto perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
    const auto ticks = static_cast<ULONGLONG>(count.QuadPart);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

// When the DLL is loaded the runtime puts a first-chance vectored handler (XP on)
// in front of the host process's own, only so that pthread_setname_np can raise
// the debugger's thread-name exception without a debugger attached. The add-in
// names no thread, and the runtime raises nothing when it has no handler and no
// debugger is attached: so none is installed, and none is ever left to remove.
PVOID WINAPI AddNoVectoredHandler(ULONG, PVECTORED_EXCEPTION_HANDLER) { return nullptr; }
ULONG WINAPI RemoveNoVectoredHandler(PVOID) { return 0; }

}  // namespace

// The names the runtime's dllimport calls read the functions' addresses from.
extern "C" ULONGLONG(WINAPI* const g_importedTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
extern "C" PVOID(WINAPI* const g_importedAddVectoredHandler)(ULONG, PVECTORED_EXCEPTION_HANDLER) __asm__(
    "__imp__AddVectoredExceptionHandler@8") = AddNoVectoredHandler;
extern "C" ULONG(WINAPI* const g_importedRemoveVectoredHandler)(PVOID) __asm__(
    "__imp__RemoveVectoredExceptionHandler@4") = RemoveNoVectoredHandler;
