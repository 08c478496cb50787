#include "simhost/disk/CharacterReferences.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "simhost/disk/PageEncoding.h"

namespace tavisk::simhost {
namespace {

struct NamedReference {
    const char* name;
    char32_t first;
    char32_t second;
};

constexpr NamedReference kNamedReferences[] = {
#include "simhost/disk/NamedReferences.inc"
};
constexpr std::size_t kLongestName = 32;

bool IsAsciiAlnum(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

const NamedReference* FindNamed(const std::string& name) {
    const auto it =
        std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name,
                         [](const NamedReference& r, const std::string& n) { return n.compare(r.name) > 0; });
    return it != std::end(kNamedReferences) && name == it->name ? it : nullptr;
}

int DigitValue(char32_t c, bool hex) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

std::size_t ReadNumeric(std::u32string_view text, std::size_t at, std::u32string& out) {
    std::size_t i = at + 2;  // past "&#"
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t digitsStart = i;
    char32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], hex);
        if (digit < 0) break;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (i == digitsStart) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    else if (value >= 0x80 && value <= 0x9F)
        value = Windows1252High(static_cast<unsigned char>(value));
    out += value;
    return i - at;
}

}  // namespace

std::size_t ReadCharacterReference(std::u32string_view text, std::size_t at, bool inAttribute, std::u32string& out) {
    if (at + 1 < text.size() && text[at + 1] == '#') return ReadNumeric(text, at, out);

    // The longest name of the table that the text starts with.
    std::string candidate;
    for (std::size_t i = at + 1; i < text.size() && candidate.size() < kLongestName; ++i) {
        if (IsAsciiAlnum(text[i])) {
            candidate += static_cast<char>(text[i]);
        } else {
            if (text[i] == ';') candidate += ';';
            break;
        }
    }
    for (; !candidate.empty(); candidate.pop_back()) {
        const auto* reference = FindNamed(candidate);
        if (!reference) continue;
        const std::size_t end = at + 1 + candidate.size();
        if (inAttribute && candidate.back() != ';' && end < text.size() &&
            (text[end] == '=' || IsAsciiAlnum(text[end])))
            return 0;
        out += reference->first;
        if (reference->second) out += reference->second;
        return end - at;
    }
    return 0;
}

}  // namespace tavisk::simhost
