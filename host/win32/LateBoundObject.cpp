#include "host/win32/LateBoundObject.h"

#include <algorithm>

#include "base/Texts.h"
#include "host/HostError.h"
#include "base/win32/ComError.h"

namespace tavisk::host::win32 {

using base::win32::InvokeError;

LateBoundObject::LateBoundObject(Microsoft::WRL::ComPtr<IDispatch> object, std::wstring role)
    : _object(std::move(object)), _role(std::move(role)) {
    if (!_object)
        throw HostError(static_cast<std::int32_t>(E_POINTER), base::Text(base::TextId::HostGaveNoObject, {_role}));
}

bool LateBoundObject::has(const wchar_t* name) {
    if (_ids.count(name)) return true;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    _ids.emplace(name, id);
    return true;
}

DISPID LateBoundObject::idOf(const wchar_t* name) {
    const auto found = _ids.find(name);
    if (found != _ids.end()) return found->second;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = _object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw HostError(hr, base::Text(base::TextId::HostNoMember, {_role, name}));
    _ids.emplace(name, id);
    return id;
}

Variant LateBoundObject::invoke(DISPID id, WORD flags, std::vector<Variant>& args, const std::wstring& member) {
    // Automation passes arguments last first.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO info{};
    UINT argError = 0;
    SetErrorInfo(0, nullptr);  // so a stale text is never taken for this call's
    const HRESULT hr = _object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       flags == DISPATCH_PROPERTYPUT ? nullptr : result.put(), &info, &argError);
    if (FAILED(hr)) throw InvokeError(hr, info, base::Text(base::TextId::HostRefused, {_role + L"." + member}));
    return result;
}

Variant LateBoundObject::get(const wchar_t* name, std::vector<Variant> args) {
    return invoke(idOf(name), DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, name);
}

void LateBoundObject::put(const wchar_t* name, Variant value) {
    auto args = Args(std::move(value));
    invoke(idOf(name), DISPATCH_PROPERTYPUT, args, name);
}

Variant LateBoundObject::call(const wchar_t* name, std::vector<Variant> args) {
    return invoke(idOf(name), DISPATCH_METHOD, args, name);
}

Variant LateBoundObject::getById(DISPID id, const wchar_t* name) {
    std::vector<Variant> none;
    return invoke(id, DISPATCH_PROPERTYGET, none, name);
}

Microsoft::WRL::ComPtr<IDispatch> LateBoundObject::object(const wchar_t* name, std::vector<Variant> args) {
    return get(name, std::move(args)).toObject();
}

}  // namespace tavisk::host::win32
