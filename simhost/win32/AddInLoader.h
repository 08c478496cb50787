#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "simhost/win32/Extensibility.h"

namespace tavisk::simhost::win32 {

// Where the host finds its COM add-ins, under HKEY_CURRENT_USER and, for those
// installed for every user, HKEY_LOCAL_MACHINE: one subkey per add-in, named by its
// ProgID, with FriendlyName, Description and LoadBehavior.
inline constexpr wchar_t kAddInsKey[] = L"Software\\Microsoft\\Office\\FrontPage\\Addins";

// What became of one registered add-in at start-up.
struct AddInReport {
    std::wstring progId;
    bool connected = false;
    // Empty when all went well; otherwise what failed, with the add-in's own text.
    std::wstring problem;
};

// Loads the add-ins registered to load at start-up (LoadBehavior 3) as a host
// does: each is created through COM from its ProgID and connected with
// OnConnection(application, start-up, its COMAddIn object, an empty array); once
// all are, each hears OnStartupComplete. At shut-down all hear OnBeginShutdown,
// then each OnDisconnection(host shut-down) and is released. An add-in that fails
// to load or to connect is reported and left out; the others go on.
class AddInLoader {
public:
    explicit AddInLoader(std::wstring key = kAddInsKey);
    AddInLoader(const AddInLoader&) = delete;
    AddInLoader& operator=(const AddInLoader&) = delete;
    ~AddInLoader();

    void connectAll(IDispatch* application);
    void shutdown();

    const std::vector<AddInReport>& reports() const noexcept { return _reports; }
    // One line for a status bar: how many connected, and every problem.
    std::wstring summary() const;

private:
    struct Loaded {
        std::wstring progId;
        Microsoft::WRL::ComPtr<IExtensibility2> addIn;
        Microsoft::WRL::ComPtr<IDispatch> instance;
    };
    void connect(IDispatch* application, HKEY root, const std::wstring& progId);

    std::wstring _key;
    std::vector<Loaded> _loaded;
    std::vector<AddInReport> _reports;
};

}  // namespace tavisk::simhost::win32
