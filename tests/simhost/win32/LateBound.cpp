#include "LateBound.h"

#include <gtest/gtest.h>

namespace tavisk::testing {

using base::win32::Bstr;

Variant Missing() {
    Variant v;
    v.get()->vt = VT_ERROR;
    v.get()->scode = DISP_E_PARAMNOTFOUND;
    return v;
}

Variant Object(const ComPtr<IDispatch>& object) { return Variant::Object(object.Get()); }

namespace {

CallResult Invoke(IDispatch* object, DISPID id, const std::vector<DISPID>& named, WORD flags, std::vector<Arg>& args) {
    CallResult result;
    // DISPPARAMS wants the named arguments first and the positional ones reversed.
    std::vector<VARIANT> reversed;
    std::vector<DISPID> ids;
    for (size_t i = 0; i < args.size(); ++i)
        if (!args[i].name.empty()) {
            reversed.push_back(*args[i].value.get());
            ids.push_back(named[i]);
        }
    if (flags & DISPATCH_PROPERTYPUT) ids.insert(ids.begin(), DISPID_PROPERTYPUT);
    for (size_t i = args.size(); i-- > 0;)
        if (args[i].name.empty()) reversed.push_back(*args[i].value.get());
    DISPPARAMS params{reversed.data(), ids.data(), static_cast<UINT>(reversed.size()), static_cast<UINT>(ids.size())};
    EXCEPINFO exception{};
    result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.value.get(), &exception,
                               &result.argumentError);
    if (result.hr == DISP_E_EXCEPTION) {
        result.scode = exception.scode;
        result.description = Bstr::FromBstr(exception.bstrDescription);
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return result;
}

}  // namespace

// A call on an object an earlier failed call did not give: fails the test, not the program.
CallResult Nothing(const std::wstring& member) {
    ADD_FAILURE() << "no object to call " << std::string(member.begin(), member.end()) << " on";
    CallResult result;
    result.hr = E_POINTER;
    return result;
}

CallResult Call(IDispatch* object, const std::wstring& member, WORD flags, std::vector<Arg> args) {
    if (!object) return Nothing(member);
    std::vector<std::wstring> names{member};
    for (const auto& arg : args)
        if (!arg.name.empty()) names.push_back(arg.name);
    std::vector<LPOLESTR> pointers;
    for (auto& name : names) pointers.push_back(name.data());
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    CallResult result;
    result.hr = object->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()),
                                      LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(result.hr)) return result;
    // Each named argument's id, at the argument's own position.
    std::vector<DISPID> named(args.size(), DISPID_UNKNOWN);
    for (size_t i = 0, next = 1; i < args.size(); ++i)
        if (!args[i].name.empty()) named[i] = ids[next++];
    return Invoke(object, ids[0], named, flags, args);
}

CallResult CallId(IDispatch* object, DISPID id, WORD flags, std::vector<Arg> args) {
    if (!object) return Nothing(L"dispatch id " + std::to_wstring(id));
    return Invoke(object, id, std::vector<DISPID>(args.size(), DISPID_UNKNOWN), flags, args);
}

Variant Get(IDispatch* object, const std::wstring& member, std::vector<Arg> args) {
    auto result = Call(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args));
    EXPECT_EQ(result.hr, S_OK) << "get " << std::string(member.begin(), member.end()) << ": "
                               << std::string(result.description.begin(), result.description.end());
    return std::move(result.value);
}

ComPtr<IDispatch> GetObject(IDispatch* object, const std::wstring& member, std::vector<Arg> args) {
    auto value = Get(object, member, std::move(args));
    EXPECT_EQ(value.value().vt, VT_DISPATCH);
    return value.value().vt == VT_DISPATCH ? ComPtr<IDispatch>(value.value().pdispVal) : nullptr;
}

std::wstring GetString(IDispatch* object, const std::wstring& member, std::vector<Arg> args) {
    auto value = Get(object, member, std::move(args));
    EXPECT_EQ(value.value().vt, VT_BSTR);
    return value.value().vt == VT_BSTR ? Bstr::FromBstr(value.value().bstrVal) : L"";
}

long GetLong(IDispatch* object, const std::wstring& member, std::vector<Arg> args) {
    auto value = Get(object, member, std::move(args));
    Variant number;
    EXPECT_EQ(VariantChangeType(number.get(), value.get(), 0, VT_I4), S_OK);
    return number.value().lVal;
}

Variant Method(IDispatch* object, const std::wstring& member, std::vector<Arg> args) {
    auto result = Call(object, member, DISPATCH_METHOD, std::move(args));
    EXPECT_EQ(result.hr, S_OK) << "call " << std::string(member.begin(), member.end()) << ": "
                               << std::string(result.description.begin(), result.description.end());
    return std::move(result.value);
}

void Put(IDispatch* object, const std::wstring& member, Variant value) {
    std::vector<Arg> args;
    args.emplace_back(std::move(value));
    const auto result = Call(object, member, DISPATCH_PROPERTYPUT, std::move(args));
    EXPECT_EQ(result.hr, S_OK) << "put " << std::string(member.begin(), member.end());
}

std::vector<ComPtr<IDispatch>> Enumerate(IDispatch* collection) {
    std::vector<ComPtr<IDispatch>> items;
    auto value = Get(collection, L"_NewEnum");
    if (value.value().vt != VT_UNKNOWN) {
        ADD_FAILURE() << "_NewEnum gave no IUnknown";
        return items;
    }
    ComPtr<IEnumVARIANT> enumerator;
    EXPECT_EQ(value.value().punkVal->QueryInterface(IID_PPV_ARGS(&enumerator)), S_OK);
    if (!enumerator) return items;
    for (;;) {
        Variant item;
        ULONG fetched = 0;
        if (enumerator->Next(1, item.get(), &fetched) != S_OK || fetched != 1) break;
        EXPECT_EQ(item.value().vt, VT_DISPATCH);
        items.emplace_back(item.value().pdispVal);
    }
    return items;
}

std::wstring ErrorInfoText() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return L"";
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::wstring text = Bstr::FromBstr(description);
    SysFreeString(description);
    return text;
}

}  // namespace tavisk::testing
