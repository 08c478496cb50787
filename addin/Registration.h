#pragma once

#include <windows.h>

#include <string>

namespace tavisk::addin {

// The registry hives registration writes to: HKEY_CLASSES_ROOT and
// HKEY_CURRENT_USER for the real thing, keys of a test's own otherwise.
struct RegistryRoots {
    HKEY classes;
    HKEY currentUser;
};

// The host's add-in key below the current user's hive, and the add-in's ProgID.
inline constexpr wchar_t kHostAddinsKey[] = L"Software\\Microsoft\\Office\\FrontPage\\Addins";
inline constexpr wchar_t kProgId[] = L"tavisk2002.Connect";

// Writes the class with its in-process server `dllPath`, the ProgID, the interface
// _Connect and the type library, then the host's add-in key. Returns S_OK, or the
// failure code of the first key or value that cannot be written (SELFREG_E_CLASS
// for the class's keys, SELFREG_E_TYPELIB for the library's, the system's code for
// the host's key); the keys written before it stay.
HRESULT RegisterServer(const RegistryRoots& roots, const std::wstring& dllPath) noexcept;

// Removes the keys RegisterServer writes, all of them named by the add-in's own
// identities, and nothing else: parent keys such as the host's Addins key, other
// add-ins' keys and the published IDTExtensibility2 interface stay. Keys already
// gone are no failure.
HRESULT UnregisterServer(const RegistryRoots& roots) noexcept;

}  // namespace tavisk::addin
