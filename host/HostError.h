#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tavisk::host {

// The one error type for every refusal of the host: a failed call of its object
// model, a missing command bar or control, an object of the wrong kind. `code` is
// the host's own code (an HRESULT on Windows); `message` is the host's text.
class HostError : public std::runtime_error {
public:
    HostError(std::int32_t code, std::wstring message);

    std::int32_t code() const noexcept { return _code; }
    const std::wstring& message() const noexcept { return _message; }

private:
    std::int32_t _code;
    std::wstring _message;
};

// Codes used where the host gives none of its own (the values of the matching
// HRESULTs, so both builds report the same numbers).
inline constexpr std::int32_t kErrorFail = static_cast<std::int32_t>(0x80004005);         // E_FAIL
inline constexpr std::int32_t kErrorNoInterface = static_cast<std::int32_t>(0x80004002);  // E_NOINTERFACE
inline constexpr std::int32_t kErrorInvalidArg = static_cast<std::int32_t>(0x80070057);   // E_INVALIDARG
inline constexpr std::int32_t kErrorNotFound =
    static_cast<std::int32_t>(0x80070490);  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

}  // namespace tavisk::host
