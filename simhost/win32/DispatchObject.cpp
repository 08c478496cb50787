#include "simhost/win32/DispatchObject.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "base/win32/ComError.h"
#include "base/Text.h"

namespace tavisk::simhost::win32 {

using Microsoft::WRL::ComPtr;

ArgumentError::ArgumentError(HRESULT code, UINT argument)
    : base::Error(code, L"Argument " + std::to_wstring(argument + 1) + L" was refused (" +
                            base::win32::HresultText(code) + L")."),
      _argument(argument) {}

namespace {

VARIANT Missing() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

const VARIANT& Followed(const VARIANT& v) {
    const VARIANT* current = &v;
    while (current->vt == (VT_BYREF | VT_VARIANT) && current->pvarVal) current = current->pvarVal;
    return *current;
}

bool IsMissing(const VARIANT& v) { return (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND) || v.vt == VT_EMPTY; }

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

std::vector<std::wstring_view> Split(const wchar_t* parameters) {
    std::vector<std::wstring_view> names;
    std::wstring_view rest(parameters ? parameters : L"");
    while (!rest.empty()) {
        const auto comma = std::min(rest.find(L','), rest.size());
        names.push_back(Trimmed(rest.substr(0, comma)));
        rest.remove_prefix(std::min(comma + 1, rest.size()));
    }
    return names;
}

}  // namespace

Args::Args(const DISPPARAMS& params, size_t parameterCount, bool put)
    : _byPosition(parameterCount, Missing()), _order(parameterCount) {
    for (size_t j = 0; j < parameterCount; ++j) _order[j] = static_cast<UINT>(j);
    if (params.cArgs > 0 && !params.rgvarg) throw base::Error(E_INVALIDARG, L"The call's arguments are malformed.");
    if (params.cNamedArgs > params.cArgs || (params.cNamedArgs > 0 && !params.rgdispidNamedArgs))
        throw base::Error(E_INVALIDARG, L"The call's arguments are malformed.");
    // rgvarg holds the arguments in reverse: rgvarg[i] was written at cArgs - 1 - i.
    const auto written = [&](UINT i) { return params.cArgs - 1 - i; };
    for (UINT i = 0; i < params.cNamedArgs; ++i) {
        const DISPID id = params.rgdispidNamedArgs[i];
        if (put && id == DISPID_PROPERTYPUT) {
            _value = params.rgvarg[i];
        } else if (id < 0 || static_cast<size_t>(id) >= parameterCount) {
            throw ArgumentError(DISP_E_PARAMNOTFOUND, written(i));
        } else {
            _byPosition[static_cast<size_t>(id)] = params.rgvarg[i];
            _order[static_cast<size_t>(id)] = written(i);
        }
    }
    UINT first = params.cNamedArgs;  // index in rgvarg of the first positional argument (the last one written)
    if (put && !_value) {
        if (params.cArgs == first) throw ArgumentError(DISP_E_PARAMNOTOPTIONAL);
        _value = params.rgvarg[first++];
    }
    const size_t positional = params.cArgs - first;
    if (positional > parameterCount) throw ArgumentError(DISP_E_BADPARAMCOUNT);
    for (size_t j = 0; j < positional; ++j) _byPosition[j] = params.rgvarg[params.cArgs - 1 - j];
}

const VARIANT* Args::optional(size_t position) const {
    if (position >= _byPosition.size()) return nullptr;
    const VARIANT& v = Followed(_byPosition[position]);
    return IsMissing(v) ? nullptr : &v;
}

const VARIANT& Args::required(size_t position) const {
    const VARIANT* v = optional(position);
    if (!v) throw ArgumentError(DISP_E_PARAMNOTOPTIONAL, static_cast<UINT>(position));
    return *v;
}

Variant Args::converted(size_t position, VARTYPE type) const {
    return Convert(required(position), type, _order[position]);
}

Variant Args::Convert(const VARIANT& source, VARTYPE type, size_t position) {
    Variant converted;
    const HRESULT hr = VariantChangeType(converted.get(), const_cast<VARIANT*>(&source), 0, type);
    if (FAILED(hr)) throw ArgumentError(DISP_E_TYPEMISMATCH, static_cast<UINT>(position));
    return converted;
}

std::wstring Args::string(size_t position) const { return Bstr::FromBstr(converted(position, VT_BSTR).get()->bstrVal); }

std::int32_t Args::int32(size_t position) const { return converted(position, VT_I4).get()->lVal; }

std::optional<std::wstring> Args::optionalString(size_t position) const {
    if (!optional(position)) return std::nullopt;
    return string(position);
}

std::optional<std::int32_t> Args::optionalInt32(size_t position) const {
    if (!optional(position)) return std::nullopt;
    return int32(position);
}

std::optional<bool> Args::optionalBool(size_t position) const {
    if (!optional(position)) return std::nullopt;
    return converted(position, VT_BOOL).get()->boolVal != VARIANT_FALSE;
}

const VARIANT& Args::value() const {
    if (!_value) throw ArgumentError(DISP_E_PARAMNOTOPTIONAL);
    return Followed(*_value);
}

size_t ParameterCount(const wchar_t* parameters) { return Split(parameters).size(); }

std::optional<size_t> ParameterPosition(const wchar_t* parameters, const wchar_t* name) {
    const auto names = Split(parameters);
    const auto key = base::AsciiLower(name ? name : L"");
    for (size_t i = 0; i < names.size(); ++i)
        if (base::AsciiLower(names[i]) == key) return i;
    return std::nullopt;
}

bool SameName(const wchar_t* a, const wchar_t* b) { return b && base::AsciiLower(a) == base::AsciiLower(b); }

HRESULT ReportInvokeException(EXCEPINFO* exception, UINT* argumentError, UINT argumentCount) {
    // Automation's own argument errors are returned as they are; every other failure
    // is a refusal of the host, whose code and text travel in EXCEPINFO (Basic's
    // Err.Number and Err.Description).
    try {
        throw;
    } catch (const ArgumentError& e) {
        // puArgErr indexes rgvarg, which holds the arguments in reverse.
        if (argumentError && e.code() != DISP_E_BADPARAMCOUNT && e.argument() < argumentCount)
            *argumentError = argumentCount - 1 - e.argument();
        base::win32::SetErrorText(GUID_NULL, kErrorSource, e.message());
        return e.code();
    } catch (...) {
        // The error info too, for callers that read GetErrorInfo after DISP_E_EXCEPTION.
        base::win32::SetErrorText(GUID_NULL, kErrorSource, base::CaughtErrorText());
        return base::win32::CaughtErrorToExcepInfo(exception, kErrorSource);
    }
}

namespace {

// Hand-written: IEnumVARIANT is four small methods and no library offers it here.
class Enumerator final : public ComObject<IEnumVARIANT> {
public:
    Enumerator(std::shared_ptr<const std::vector<ComPtr<IDispatch>>> items, size_t position)
        : _items(std::move(items)), _position(position) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG done = 0;
        for (; done < count && _position < _items->size(); ++done, ++_position)
            Variant::Object((*_items)[_position].Get()).detachTo(&out[done]);
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const size_t left = _items->size() - _position;
        _position += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        _position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) Enumerator(_items, _position);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const std::vector<ComPtr<IDispatch>>> _items;
    size_t _position;
};

}  // namespace

ComPtr<IEnumVARIANT> MakeEnumerator(std::vector<ComPtr<IDispatch>> items) {
    return MakeCom<Enumerator>(std::make_shared<const std::vector<ComPtr<IDispatch>>>(std::move(items)), 0);
}

}  // namespace tavisk::simhost::win32
