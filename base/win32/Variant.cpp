#include "base/win32/Variant.h"

#include "base/Error.h"
#include "base/Texts.h"
#include "base/win32/ComError.h"

namespace tavisk::base::win32 {

Bstr::Bstr(std::wstring_view text) : _value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!_value) throw Error(kErrorOutOfMemory, L"Out of memory.");
}

Variant::Variant(const Variant& other) {
    VariantInit(&_value);
    ThrowIfFailed(VariantCopy(&_value, const_cast<VARIANT*>(&other._value)), L"The value cannot be copied.");
}

Variant Variant::Text(std::wstring_view text) {
    Variant v;
    v._value.bstrVal = Bstr(text).detach();
    v._value.vt = VT_BSTR;
    return v;
}

Variant Variant::Int(std::int32_t value) noexcept {
    Variant v;
    v._value.vt = VT_I4;
    v._value.lVal = value;
    return v;
}

Variant Variant::Bool(bool value) noexcept {
    Variant v;
    v._value.vt = VT_BOOL;
    v._value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Object(IDispatch* object) noexcept {
    Variant v;
    v._value.vt = VT_DISPATCH;
    v._value.pdispVal = object;
    if (object) object->AddRef();
    return v;
}

Variant Variant::Unknown(IUnknown* object) noexcept {
    Variant v;
    v._value.vt = VT_UNKNOWN;
    v._value.punkVal = object;
    if (object) object->AddRef();
    return v;
}

Variant Variant::Missing() noexcept {
    Variant v;
    v._value.vt = VT_ERROR;
    v._value.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

namespace {

Variant Coerced(const VARIANT& value, VARTYPE type, const wchar_t* what) {
    Variant result;
    // VARIANT_ALPHABOOL is not asked for: Booleans become "-1"/"0" as in Automation.
    ThrowIfFailed(VariantChangeType(result.put(), const_cast<VARIANT*>(&value), 0, type), what);
    return result;
}

}  // namespace

std::wstring Variant::toText() const {
    if (_value.vt == VT_BSTR) return Bstr::FromBstr(_value.bstrVal);
    return Bstr::FromBstr(Coerced(_value, VT_BSTR, base::Text(base::TextId::ValueNotText)).value().bstrVal);
}

std::int32_t Variant::toInt() const {
    if (_value.vt == VT_I4) return _value.lVal;
    return Coerced(_value, VT_I4, base::Text(base::TextId::ValueNotNumber)).value().lVal;
}

bool Variant::toBool() const {
    if (_value.vt == VT_BOOL) return _value.boolVal != VARIANT_FALSE;
    return Coerced(_value, VT_BOOL, base::Text(base::TextId::ValueNotYesNo)).value().boolVal != VARIANT_FALSE;
}

Microsoft::WRL::ComPtr<IDispatch> Variant::toObject() const {
    Microsoft::WRL::ComPtr<IDispatch> object;
    switch (_value.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return object;
        case VT_DISPATCH:
            object = _value.pdispVal;
            return object;
        case VT_UNKNOWN:
            if (!_value.punkVal) return object;
            ThrowIfFailed(_value.punkVal->QueryInterface(IID_PPV_ARGS(&object)),
                          base::Text(base::TextId::ValueNotObject));
            return object;
        case VT_DISPATCH | VT_BYREF:
            object = _value.ppdispVal ? *_value.ppdispVal : nullptr;
            return object;
        default:
            throw Error(static_cast<std::int32_t>(DISP_E_TYPEMISMATCH), base::Text(base::TextId::ValueNotObject));
    }
}

}  // namespace tavisk::base::win32
