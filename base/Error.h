#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tavisk::base {

// An error with a code and a wide text for the user: a failed call of a COM
// object model, a refused request. `code` is an HRESULT's value on Windows (the
// same numbers natively, so both builds report alike); `message` is the text.
class Error : public std::runtime_error {
public:
    Error(std::int32_t code, std::wstring message);

    std::int32_t code() const noexcept { return _code; }
    const std::wstring& message() const noexcept { return _message; }

private:
    std::int32_t _code;
    std::wstring _message;
};

// Codes used where no callee gave one of its own: the values of the matching
// HRESULTs.
inline constexpr std::int32_t kErrorFail = static_cast<std::int32_t>(0x80004005);         // E_FAIL
inline constexpr std::int32_t kErrorNoInterface = static_cast<std::int32_t>(0x80004002);  // E_NOINTERFACE
inline constexpr std::int32_t kErrorInvalidArg = static_cast<std::int32_t>(0x80070057);   // E_INVALIDARG
inline constexpr std::int32_t kErrorOutOfMemory = static_cast<std::int32_t>(0x8007000E);  // E_OUTOFMEMORY
inline constexpr std::int32_t kErrorUnexpected = static_cast<std::int32_t>(0x8000FFFF);   // E_UNEXPECTED
inline constexpr std::int32_t kErrorNotFound =
    static_cast<std::int32_t>(0x80070490);  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

// What a caught exception says: its code and its text.
struct Failure {
    std::int32_t code;
    std::wstring text;
};

// The one translation of a caught exception into a code and a text, for every
// boundary that must not let it pass (a COM method, a window procedure, a run
// over pages). Call only inside a catch block: it looks at the exception being
// handled. An Error gives its own code and text; std::bad_alloc "Out of memory.";
// another std::exception its what() (read as UTF-8); anything else a fixed text.
// It never throws: a text that cannot be made for lack of memory is left empty, and
// the code alone tells what happened.
Failure CaughtFailure() noexcept;
// The text of CaughtFailure(), for boundaries that report only a text.
std::wstring CaughtErrorText() noexcept;

}  // namespace tavisk::base
