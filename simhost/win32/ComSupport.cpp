#include "simhost/win32/ComSupport.h"

#include <wrl/client.h>

#include <new>

#include "simhost/SimError.h"
#include "host/Text.h"

namespace tavisk::simhost::win32 {

using Microsoft::WRL::ComPtr;

namespace {

std::wstring DefaultText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (text.empty()) {
        wchar_t code[16];
        swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
        text = L"Error " + std::wstring(code) + L".";
    }
    return text;
}

}  // namespace

ComError::ComError(HRESULT hr, UINT argument, std::wstring text)
    : std::runtime_error("COM error"),
      _code(hr),
      _argument(argument),
      _text(text.empty() ? DefaultText(hr) : std::move(text)) {}

void ThrowIfFailed(HRESULT hr, const wchar_t* what) {
    if (FAILED(hr)) {
        const std::wstring prefix = what && *what ? std::wstring(what) + L": " : std::wstring();
        throw ComError(hr, 0, prefix + DefaultText(hr));
    }
}

BSTR AllocString(const std::wstring& text) {
    BSTR result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!result) throw ComError(E_OUTOFMEMORY);
    return result;
}

std::wstring FromBstr(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

HRESULT SetErrorText(HRESULT hr, const std::wstring& text) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetDescription(const_cast<wchar_t*>(text.c_str()));
        create->SetSource(const_cast<wchar_t*>(L"SimHost"));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    }
    return hr;
}

Failure CurrentFailure() {
    try {
        throw;
    } catch (const SimError& e) {
        return {e.code(), e.message()};
    } catch (const ComError& e) {
        return {e.code(), e.text(), e.argument()};
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, DefaultText(E_OUTOFMEMORY)};
    } catch (const std::exception& e) {
        return {E_FAIL, host::FromUtf8(e.what())};
    } catch (...) {
        return {E_UNEXPECTED, DefaultText(E_UNEXPECTED)};
    }
}

HRESULT ReportCurrentException() {
    const Failure failure = CurrentFailure();
    return SetErrorText(failure.code, failure.text);
}

Variant::Variant(const Variant& other) {
    VariantInit(&_v);
    ThrowIfFailed(VariantCopy(&_v, const_cast<VARIANT*>(&other._v)), L"VariantCopy");
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&_v);
        _v = other._v;
        VariantInit(&other._v);
    }
    return *this;
}

Variant Variant::String(const std::wstring& text) {
    Variant v;
    v._v.bstrVal = AllocString(text);
    v._v.vt = VT_BSTR;
    return v;
}

Variant Variant::Bool(bool value) {
    Variant v;
    v._v.vt = VT_BOOL;
    v._v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Int32(std::int32_t value) {
    Variant v;
    v._v.vt = VT_I4;
    v._v.lVal = value;
    return v;
}

Variant Variant::Object(IDispatch* object) {
    Variant v;
    v._v.vt = VT_DISPATCH;
    v._v.pdispVal = object;
    if (object) object->AddRef();
    return v;
}

Variant Variant::Unknown(IUnknown* object) {
    Variant v;
    v._v.vt = VT_UNKNOWN;
    v._v.punkVal = object;
    if (object) object->AddRef();
    return v;
}

void Variant::detachTo(VARIANT* target) noexcept {
    *target = _v;
    VariantInit(&_v);
}

}  // namespace tavisk::simhost::win32
