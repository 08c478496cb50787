#pragma once

#include <windows.h>

#include <oleauto.h>

#include <stdexcept>
#include <string>

namespace tavisk::simhost::win32 {

// A refusal in COM's own terms (a missing argument, a value of the wrong type),
// as opposed to a refusal of the host, which is a SimError. `argument` is
// the position of the offending argument, counted from 0 in the call's order.
class ComError : public std::runtime_error {
public:
    explicit ComError(HRESULT hr, UINT argument = 0, std::wstring text = {});
    HRESULT code() const noexcept { return _code; }
    UINT argument() const noexcept { return _argument; }
    const std::wstring& text() const noexcept { return _text; }

private:
    HRESULT _code;
    UINT _argument;
    std::wstring _text;
};

// The one check of every HRESULT the host's COM code receives.
void ThrowIfFailed(HRESULT hr, const wchar_t* what = L"");

// A new BSTR holding `text`; raises ComError(E_OUTOFMEMORY) when none can be made.
BSTR AllocString(const std::wstring& text);
std::wstring FromBstr(BSTR text);

// Makes `text` the calling thread's error info (IErrorInfo, source "SimHost") and
// returns `hr`, so a caller asking GetErrorInfo after the failed call reads it.
HRESULT SetErrorText(HRESULT hr, const std::wstring& text);

// The exception being handled, as COM reports it: the one translation used at each
// COM boundary of the host. Call only inside a catch block.
struct Failure {
    HRESULT code;
    std::wstring text;
    UINT argument = 0;
};
Failure CurrentFailure();
// The HRESULT of the exception being handled, with the thread's error info set.
HRESULT ReportCurrentException();

// An owned VARIANT, cleared when it goes.
class Variant {
public:
    Variant() noexcept : _v{} { VariantInit(&_v); }
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept : _v(other._v) { VariantInit(&other._v); }
    Variant& operator=(const Variant& other) { return *this = Variant(other); }
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { VariantClear(&_v); }

    static Variant String(const std::wstring& text);
    static Variant Bool(bool value);
    static Variant Int32(std::int32_t value);
    // A null object gives VT_DISPATCH with a null pointer: the Nothing of Basic.
    static Variant Object(IDispatch* object);
    static Variant Unknown(IUnknown* object);

    VARIANT* get() noexcept { return &_v; }
    const VARIANT* get() const noexcept { return &_v; }
    // Hands the value over to `target` (uninitialised or cleared) and empties this one.
    void detachTo(VARIANT* target) noexcept;

private:
    VARIANT _v;
};

}  // namespace tavisk::simhost::win32
