#include "base/Error.h"

#include <exception>
#include <new>

#include "base/Text.h"

namespace tavisk::base {

Error::Error(std::int32_t code, std::wstring message)
    : std::runtime_error(ToUtf8(message)), _code(code), _message(std::move(message)) {}

namespace {

// A failure with a fixed text. The text needs memory, which may be just what ran
// out: then the code alone says what happened, as it does for a text that cannot
// be converted, since nothing may leave a boundary that must not throw.
Failure FixedFailure(std::int32_t code, const wchar_t* text) noexcept {
    try {
        return {code, text};
    } catch (...) {
        return {code, L""};
    }
}

}  // namespace

Failure CaughtFailure() noexcept {
    try {
        throw;
    } catch (const Error& error) {
        try {
            return {error.code(), error.message()};
        } catch (...) {
            return {error.code(), L""};
        }
    } catch (const std::bad_alloc&) {
        return FixedFailure(kErrorOutOfMemory, L"Out of memory.");
    } catch (const std::exception& error) {
        try {
            return {kErrorFail, FromUtf8(error.what())};
        } catch (...) {
            return {kErrorFail, L""};  // no memory left to convert the text
        }
    } catch (...) {
        return FixedFailure(kErrorUnexpected, L"An unknown error occurred.");
    }
}

std::wstring CaughtErrorText() noexcept {
    Failure failure = CaughtFailure();
    return std::move(failure.text);
}

}  // namespace tavisk::base
