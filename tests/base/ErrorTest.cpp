#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "base/Error.h"

namespace tavisk::base {
namespace {

Failure FailureOf(const std::function<void()>& thrower) {
    try {
        thrower();
    } catch (...) {
        return CaughtFailure();
    }
    ADD_FAILURE() << "nothing was thrown";
    return {};
}

// Every boundary reads a caught exception through CaughtFailure: the code it
// reports and the text the user reads.
TEST(CaughtFailure, ReadsEachKindOfException) {
    const struct {
        const char* kind;
        std::function<void()> thrower;
        std::int32_t code;
        std::wstring text;
    } cases[] = {
        {"Error", [] { throw Error(kErrorNotFound, L"The web has no file \u00e9t\u00e9.htm."); }, kErrorNotFound,
         L"The web has no file \u00e9t\u00e9.htm."},
        {"bad_alloc", [] { throw std::bad_alloc(); }, kErrorOutOfMemory, L"Out of memory."},
        {"std::exception", [] { throw std::invalid_argument("no list item with key caf\xC3\xA9"); }, kErrorFail,
         L"no list item with key caf\u00e9"},
        {"anything else", [] { throw 42; }, kErrorUnexpected, L"An unknown error occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const Failure failure = FailureOf(c.thrower);
        EXPECT_EQ(failure.code, c.code);
        EXPECT_EQ(failure.text, c.text);
    }
}

TEST(Error, CarriesItsTextAsUtf8ForWhat) {
    const Error error(kErrorFail, L"caf\u00e9");
    EXPECT_STREQ(error.what(), "caf\xC3\xA9");
    EXPECT_EQ(error.message(), L"caf\u00e9");
}

}  // namespace
}  // namespace tavisk::base
