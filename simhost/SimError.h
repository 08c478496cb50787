#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tavisk::simhost {

// Every refusal of the stand-in editor: a call its recorder was told to refuse, an
// object that is gone, a missing file, bar or control, a page that cannot be read
// or saved. `code` is what the editor's COM face reports (an HRESULT); `message`
// is its text.
class SimError : public std::runtime_error {
public:
    SimError(std::int32_t code, std::wstring message);

    std::int32_t code() const noexcept { return _code; }
    const std::wstring& message() const noexcept { return _message; }

private:
    std::int32_t _code;
    std::wstring _message;
};

// The HRESULTs the editor reports, as plain numbers so the portable model can raise them.
inline constexpr std::int32_t kErrorFail = static_cast<std::int32_t>(0x80004005);         // E_FAIL
inline constexpr std::int32_t kErrorNoInterface = static_cast<std::int32_t>(0x80004002);  // E_NOINTERFACE
inline constexpr std::int32_t kErrorInvalidArg = static_cast<std::int32_t>(0x80070057);   // E_INVALIDARG
inline constexpr std::int32_t kErrorNotFound =
    static_cast<std::int32_t>(0x80070490);  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

}  // namespace tavisk::simhost
