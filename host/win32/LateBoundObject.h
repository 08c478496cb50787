#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <map>
#include <string>
#include <vector>

#include "base/win32/Variant.h"

namespace tavisk::host::win32 {

using base::win32::Args;
using base::win32::Variant;

// One of the host's objects, reached by late binding: members are named as the
// host documents them and resolved with GetIDsOfNames on first use (then kept for
// this object). Every failure raises HostError with the host's code and text.
class LateBoundObject {
public:
    // Raises HostError when `object` is null.
    explicit LateBoundObject(Microsoft::WRL::ComPtr<IDispatch> object, std::wstring role);

    IDispatch* get() const noexcept { return _object.Get(); }
    const std::wstring& role() const noexcept { return _role; }

    // True when the object has a member of that name.
    bool has(const wchar_t* name);

    Variant get(const wchar_t* name, std::vector<Variant> args = {});
    void put(const wchar_t* name, Variant value);
    Variant call(const wchar_t* name, std::vector<Variant> args = {});
    // A property read by its dispatch id, for members the host publishes by id.
    Variant getById(DISPID id, const wchar_t* name);

    // An object-valued member; null when the host answers Nothing.
    Microsoft::WRL::ComPtr<IDispatch> object(const wchar_t* name, std::vector<Variant> args = {});

private:
    DISPID idOf(const wchar_t* name);
    Variant invoke(DISPID id, WORD flags, std::vector<Variant>& args, const std::wstring& member);

    Microsoft::WRL::ComPtr<IDispatch> _object;
    std::wstring _role;
    std::map<std::wstring, DISPID> _ids;
};

}  // namespace tavisk::host::win32
