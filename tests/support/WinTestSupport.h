#pragma once

#include <windows.h>

#include <objbase.h>

#include <optional>
#include <string>
#include <vector>

namespace tavisk::testing {

// The add-in's DLL in this build (addin/ beside the program's tests/).
std::wstring AddinDllPath();

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
