#pragma once

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavisk::host::win32 {

// An owning VARIANT. Written here because mingw-w64 has no ATL, and its
// _variant_t needs the comsupp library, which mingw-w64 does not ship.
class Variant {
public:
    Variant() noexcept { VariantInit(&_value); }
    ~Variant() { VariantClear(&_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
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
    static Variant Object(IDispatch* object) noexcept;
    // An omitted optional argument: the callee applies its own default.
    static Variant Missing() noexcept;

    const VARIANT& value() const noexcept { return _value; }
    VARIANT* get() noexcept { return &_value; }
    // Clears the value and hands out its address for a callee to fill.
    VARIANT* put() noexcept {
        VariantClear(&_value);
        return &_value;
    }

    // Coercions as the host's Variant results need them; each raises HostError
    // when the value cannot be taken as asked.
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

}  // namespace tavisk::host::win32
