#include "base/Texts.h"

namespace tavisk::base {
namespace {

Language g_language = Language::English;

// Primary language ids (the low ten bits of an LCID).
constexpr std::uint32_t kPrimaryGerman = 0x07;
constexpr std::uint32_t kPrimaryFrench = 0x0c;
constexpr std::uint32_t kPrimaryJapanese = 0x11;

const TextTable& TableOf(Language language) noexcept {
    switch (language) {
        case Language::German:
            return kGermanTexts;
        case Language::French:
            return kFrenchTexts;
        case Language::Japanese:
            return kJapaneseTexts;
        case Language::English:
            break;
    }
    return kEnglishTexts;
}

}  // namespace

Language LanguageOfLcid(std::uint32_t lcid) noexcept {
    switch (lcid & 0x3ff) {
        case kPrimaryGerman:
            return Language::German;
        case kPrimaryFrench:
            return Language::French;
        case kPrimaryJapanese:
            return Language::Japanese;
        default:
            return Language::English;
    }
}

void SetLanguage(Language language) noexcept { g_language = language; }

Language CurrentLanguage() noexcept { return g_language; }

const wchar_t* TextIn(Language language, TextId id) noexcept {
    return TableOf(language)[static_cast<std::size_t>(id)].text;
}

const wchar_t* Text(TextId id) noexcept { return TextIn(g_language, id); }

std::wstring Text(TextId id, std::initializer_list<std::wstring_view> args) {
    std::wstring text;
    for (const wchar_t* c = Text(id); *c; ++c) {
        const auto index = static_cast<std::size_t>(c[1] - L'1');
        if (*c == L'%' && c[1] >= L'1' && c[1] <= L'9' && index < args.size()) {
            text += args.begin()[index];
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
}

const wchar_t* DialogFontFace() noexcept {
    return g_language == Language::Japanese ? L"MS Shell Dlg" : L"MS Sans Serif";
}

}  // namespace tavisk::base
