#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "base/Text.h"
#include "base/Texts.h"

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

// A translation keeps the English text's accelerators and placeholders (the build
// checks that it has every text), Japanese ones in "(&X)" form; the accelerators of
// one dialog differ in every language.
TEST(TextsTest, EveryLanguageKeepsTheAcceleratorsAndPlaceholdersOfEnglish) {
    const auto marks = [](std::wstring_view text) {
        std::wstring keys, placeholders;
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == L'&' && text[i + 1] != L'&') keys += static_cast<wchar_t>(std::towupper(text[i + 1]));
            if (text[i] == L'%' && std::iswdigit(text[i + 1])) placeholders += text[i + 1];
            if (text[i] == L'&' || text[i] == L'%') ++i;
        }
        std::ranges::sort(placeholders);
        return std::pair(keys, placeholders);
    };
    using enum TextId;
    const std::vector<std::vector<TextId>> dialogs = {
        {TopMargin, LeftMargin, BothBrowsers, ExplorerOnly, NetscapeOnly, AllPages, SelectedPages, EditQueue},
        {AddToQueue, RemoveFromQueue}};
    for (const Language language : kLanguages) {
        SCOPED_TRACE(static_cast<int>(language));
        for (size_t i = 0; i < kTextCount; ++i) {
            const std::wstring text = TextIn(language, static_cast<TextId>(i)), english = kEnglishTexts[i].text;
            EXPECT_EQ(marks(text).first.size(), marks(english).first.size()) << ToUtf8(text);
            EXPECT_EQ(marks(text).second, marks(english).second) << ToUtf8(text);
            const bool japaneseKey = text.ends_with(L")") || text.ends_with(L")...");
            EXPECT_TRUE(language != Language::Japanese || marks(text).first.empty() || japaneseKey) << ToUtf8(text);
        }
        for (const auto& dialog : dialogs) {
            std::wstring keys;
            for (const TextId id : dialog) keys += marks(TextIn(language, id)).first;
            std::ranges::sort(keys);
            EXPECT_EQ(std::ranges::adjacent_find(keys), keys.end()) << ToUtf8(keys);
        }
    }
    // The editor's language by its primary language: German (Austria) is German.
    EXPECT_EQ(LanguageOfLcid(0x0c07), Language::German);
    EXPECT_EQ(LanguageOfLcid(0x040c), Language::French);
    EXPECT_EQ(LanguageOfLcid(0x0411), Language::Japanese);
    EXPECT_EQ(LanguageOfLcid(0x0410), Language::English);
}

}  // namespace
}  // namespace tavisk::base
