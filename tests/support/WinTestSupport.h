#pragma once

#include <windows.h>

#include <objbase.h>

#include <optional>
#include <string>
#include <vector>

namespace tavisk::testing {

// The add-in's DLL in this build (addin/ beside the program's tests/).
std::wstring AddinDllPath();

using GetClassObjectFn = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT STDAPICALLTYPE();  // and every export that takes nothing

// The add-in's DLL loaded into the test program, and its exports.
class LoadedDll {
public:
    LoadedDll() : _module(LoadLibraryW(AddinDllPath().c_str())) {}
    ~LoadedDll() {
        if (_module) FreeLibrary(_module);
    }
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;
    HMODULE get() const { return _module; }
    template <class F>
    F* proc(const char* name) const {
        return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(_module, name)));
    }
    // Calls an export that takes nothing (DllRegisterServer, ...); E_NOTIMPL when there is none.
    HRESULT call(const char* name) const {
        auto* entry = proc<CanUnloadNowFn>(name);
        return entry ? entry() : E_NOTIMPL;
    }

private:
    HMODULE _module;
};

// Registry reads for checking what registration wrote.
bool KeyExists(HKEY root, const std::wstring& key);
std::optional<std::wstring> ReadText(HKEY root, const std::wstring& key, const wchar_t* name);
std::optional<DWORD> ReadNumber(HKEY root, const std::wstring& key, const wchar_t* name);

// Runs a program of the Wine prefix (regsvr32, ...) and returns its exit code.
DWORD RunProgram(const std::wstring& commandLine);

// Starts a program without waiting for it; false if it cannot be started.
bool StartProcess(const std::wstring& commandLine, PROCESS_INFORMATION& started);

// The visible top-level windows of a process, in z-order.
std::vector<HWND> VisibleTopWindows(DWORD process);

// A visible top-level window of this process with exactly this title, or null.
HWND FindOwnWindow(const wchar_t* title);

// Keeps COM initialised (single-threaded apartment, as in the host) for a scope.
class ComApartment {
public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace tavisk::testing
