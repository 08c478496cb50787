#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/win32/ComObject.h"
#include "base/win32/Variant.h"

namespace tavisk::simhost::win32 {

using base::win32::Bstr;
using base::win32::ComObject;
using base::win32::MakeCom;
using base::win32::Variant;

// The source named in the error info and EXCEPINFO of the host's refusals.
inline constexpr wchar_t kErrorSource[] = L"SimHost";

// A refusal in Automation's own terms (a missing argument, a value of the wrong
// type, too many arguments), returned as its code rather than as an exception of
// the host. `argument` is the position of the offending argument, counted from 0
// in the call's order (Invoke reports it as an index into the reversed rgvarg).
class ArgumentError : public base::Error {
public:
    explicit ArgumentError(HRESULT code, UINT argument = 0);
    UINT argument() const noexcept { return _argument; }

private:
    UINT _argument;
};

// The arguments of one IDispatch::Invoke in the order the caller wrote them
// (DISPPARAMS holds them reversed), named arguments put in their place, references
// (VT_BYREF|VT_VARIANT and the like) followed. An argument passed as missing
// (VT_ERROR with DISP_E_PARAMNOTFOUND) counts as absent.
class Args {
public:
    // `parameterCount` is the member's number of parameters; more arguments fail.
    Args(const DISPPARAMS& params, size_t parameterCount, bool put);

    const VARIANT* optional(size_t position) const;
    const VARIANT& required(size_t position) const;
    std::wstring string(size_t position) const;
    std::int32_t int32(size_t position) const;
    std::optional<std::wstring> optionalString(size_t position) const;
    std::optional<std::int32_t> optionalInt32(size_t position) const;
    std::optional<bool> optionalBool(size_t position) const;
    // The value assigned by a property put.
    const VARIANT& value() const;

    // `source` converted to `type`, as Basic would; ArgumentError(DISP_E_TYPEMISMATCH)
    // naming `position` (in the call's order) when it cannot be.
    static Variant Convert(const VARIANT& source, VARTYPE type, size_t position);

private:
    // The argument for parameter `position`, converted; a refusal names where the
    // caller wrote it, which differs from `position` for a named argument.
    Variant converted(size_t position, VARTYPE type) const;

    std::vector<VARIANT> _byPosition;  // VT_ERROR/DISP_E_PARAMNOTFOUND where absent
    std::vector<UINT> _order;          // where in the call each parameter's argument was written
    std::optional<VARIANT> _value;
};

// One member of an object's dispatch table. `call` serves a property get or a
// method; `put` a property put. `parameters` names the parameters, comma-separated,
// for callers that pass named arguments.
template <class T>
struct Member {
    const wchar_t* name;
    DISPID id;
    Variant (*call)(T&, const Args&);
    void (*put)(T&, const Args&) = nullptr;
    const wchar_t* parameters = L"";
};

// The number of names in a comma-separated list, and the position of one in it.
size_t ParameterCount(const wchar_t* parameters);
std::optional<size_t> ParameterPosition(const wchar_t* parameters, const wchar_t* name);
bool SameName(const wchar_t* a, const wchar_t* b);
// The HRESULT of the exception being handled, with EXCEPINFO filled when the
// caller gave one (then DISP_E_EXCEPTION), and `argumentError` set for COM's own
// argument errors to the offending argument's index in the call's rgvarg.
HRESULT ReportInvokeException(EXCEPINFO* exception, UINT* argumentError, UINT argumentCount);

// IDispatch over a table of members: `T::Members()` gives a span of Member<T>.
// The host's objects carry no type information: a late-binding caller needs none,
// and every name resolves through GetIDsOfNames. Failures reach the caller as
// DISP_E_EXCEPTION with the host's code and text in EXCEPINFO, and as error info.
template <class T, class... Extra>
class DispatchObject : public ComObject<IDispatch, ISupportErrorInfo, Extra...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        if (!names || !ids || count == 0) return E_INVALIDARG;
        const Member<T>* member = find(names[0]);
        ids[0] = member ? member->id : DISPID_UNKNOWN;
        HRESULT hr = member ? S_OK : DISP_E_UNKNOWNNAME;
        for (UINT i = 1; i < count; ++i) {
            const auto position = member ? ParameterPosition(member->parameters, names[i]) : std::nullopt;
            ids[i] = position ? static_cast<DISPID>(*position) : DISPID_UNKNOWN;
            if (!position) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        const Member<T>* member = find(id);
        if (!member) return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        if (put ? !member->put : !member->call) return DISP_E_MEMBERNOTFOUND;
        try {
            const Args args(params ? *params : none, ParameterCount(member->parameters), put);
            auto& self = static_cast<T&>(*this);
            if (put) {
                member->put(self, args);
            } else {
                Variant value = member->call(self, args);
                if (result) value.detachTo(result);
            }
            return S_OK;
        } catch (...) {
            return ReportInvokeException(exception, argumentError, params ? params->cArgs : 0);
        }
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID_IDispatch ? S_OK : S_FALSE;
    }

private:
    static const Member<T>* find(const wchar_t* name) {
        for (const auto& member : T::Members())
            if (SameName(member.name, name)) return &member;
        return nullptr;
    }
    static const Member<T>* find(DISPID id) {
        for (const auto& member : T::Members())
            if (member.id == id) return &member;
        return nullptr;
    }
};

// The dispatch id of the hidden member giving a collection's IEnumVARIANT.
inline constexpr DISPID kNewEnum = DISPID_NEWENUM;

// An IEnumVARIANT over objects taken when the enumeration began.
Microsoft::WRL::ComPtr<IEnumVARIANT> MakeEnumerator(std::vector<Microsoft::WRL::ComPtr<IDispatch>> items);

}  // namespace tavisk::simhost::win32
