#include <gtest/gtest.h>

#include "base/Text.h"

namespace tavisk::base {
namespace {

TEST(Text, Utf8RoundTripKeepsEveryPlane) {
    const std::wstring text = L"a\u00e9\u20ac\U0001F600z";
    EXPECT_EQ(ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xE2\x82\x41\xE2\x82"), L"a\uFFFDA\uFFFD");  // cut short: one for the longest start
    EXPECT_EQ(FromUtf8("\xC0\xAFx"), L"\uFFFD\uFFFDx");               // overlong
    EXPECT_EQ(FromUtf8("\xED\xA0\x80\xF4\x90"), L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");  // a surrogate, above U+10FFFF
}

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(AsciiUpper(L"index.Html\u00e9"), L"INDEX.HTML\u00e9");
    EXPECT_EQ(AsciiLower(L"TOPMARGIN-1"), L"topmargin-1");
}

}  // namespace
}  // namespace tavisk::base
