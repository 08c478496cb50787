#pragma once

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavisk::base::win32 {

// The VARIANT and BSTR owners are written here because mingw-w64 has no ATL, and
// its _variant_t and _bstr_t need the comsupp library, which it does not ship.

// An owning BSTR; moves, never copies.
class Bstr {
public:
    Bstr() noexcept = default;
    // Raises base::Error (E_OUTOFMEMORY) when no string can be made.
    explicit Bstr(std::wstring_view text);
    ~Bstr() { SysFreeString(_value); }
    Bstr(Bstr&& other) noexcept : _value(std::exchange(other._value, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(_value);
            _value = std::exchange(other._value, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const noexcept { return _value; }
    // Frees the value and hands out its address for a callee to fill.
    BSTR* put() noexcept {
        SysFreeString(_value);
        _value = nullptr;
        return &_value;
    }
    // Hands the string over to the caller, who frees it.
    BSTR detach() noexcept { return std::exchange(_value, nullptr); }
    std::wstring text() const { return FromBstr(_value); }

    // A BSTR's text; null is the empty text, as COM treats it.
    static std::wstring FromBstr(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : L""; }

private:
    BSTR _value = nullptr;
};

// An owning VARIANT, cleared when it goes.
class Variant {
public:
    Variant() noexcept { VariantInit(&_value); }
    ~Variant() { VariantClear(&_value); }
    // A deep copy (VariantCopy); raises base::Error when it fails.
    Variant(const Variant& other);
    Variant& operator=(const Variant& other) { return *this = Variant(other); }
    Variant(Variant&& other) noexcept : _value(other._value) { VariantInit(&other._value); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&_value);
            _value = other._value;
            VariantInit(&other._value);
        }
        return *this;
    }

    static Variant Text(std::wstring_view text);
    static Variant Int(std::int32_t value) noexcept;
    static Variant Bool(bool value) noexcept;
    // A null object gives VT_DISPATCH with a null pointer: the Nothing of Basic.
    static Variant Object(IDispatch* object) noexcept;
    static Variant Unknown(IUnknown* object) noexcept;
    // An omitted optional argument: the callee applies its own default.
    static Variant Missing() noexcept;

    const VARIANT& value() const noexcept { return _value; }
    VARIANT* get() noexcept { return &_value; }
    // Clears the value and hands out its address for a callee to fill.
    VARIANT* put() noexcept {
        VariantClear(&_value);
        return &_value;
    }
    // Hands the value over to `target` (uninitialised or cleared) and empties this one.
    void detachTo(VARIANT* target) noexcept {
        *target = _value;
        VariantInit(&_value);
    }

    // Coercions as Automation makes them; each raises base::Error when the value
    // cannot be taken as asked.
    std::wstring toText() const;
    std::int32_t toInt() const;
    bool toBool() const;
    // The object held, or null for Nothing (a null dispatch, Empty or Null).
    Microsoft::WRL::ComPtr<IDispatch> toObject() const;

private:
    VARIANT _value;
};

// Arguments in their natural order, built from temporaries.
template <class... V>
std::vector<Variant> Args(V&&... values) {
    std::vector<Variant> args;
    args.reserve(sizeof...(values));
    (args.push_back(std::forward<V>(values)), ...);
    return args;
}

}  // namespace tavisk::base::win32
