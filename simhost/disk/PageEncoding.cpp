#include "simhost/disk/PageEncoding.h"

#include "base/Text.h"

#include <array>

namespace tavisk::simhost {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr std::array<char32_t, 32> kWindows1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string AsciiLowerTrimmed(std::string_view label) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; };
    while (!label.empty() && isSpace(label.front())) label.remove_prefix(1);
    while (!label.empty() && isSpace(label.back())) label.remove_suffix(1);
    std::string out(label);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void AppendUtf16Unit(std::string& out, char32_t unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

}  // namespace

char32_t Windows1252High(unsigned char byte) { return kWindows1252High[byte - 0x80]; }

EncodingKind EncodingForLabel(std::string_view label) {
    static constexpr std::string_view kUtf8[] = {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8",
                                                 "x-unicode20utf8",
                                                 // UTF-16 labels in a meta mean UTF-8
                                                 "utf-16", "utf-16le", "utf-16be", "unicode", "unicodefffe",
                                                 "unicodefeff", "ucs-2", "iso-10646-ucs-2", "csunicode"};
    static constexpr std::string_view kWindows1252[] = {
        "windows-1252", "cp1252", "x-cp1252",   "iso-8859-1",      "iso8859-1",     "iso_8859-1",
        "iso88591",     "latin1", "l1",         "ascii",           "us-ascii",      "cp819",
        "csisolatin1",  "ibm819", "iso-ir-100", "iso_8859-1:1987", "ansi_x3.4-1968"};
    const auto name = AsciiLowerTrimmed(label);
    for (const auto known : kUtf8)
        if (name == known) return EncodingKind::Utf8;
    for (const auto known : kWindows1252)
        if (name == known) return EncodingKind::Windows1252;
    return EncodingKind::AsciiCompatible;
}

bool DetectBom(std::string_view bytes, PageEncoding& encoding) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        encoding = {EncodingKind::Utf8, 3, false};
    } else if (bytes.substr(0, 2) == "\xFF\xFE") {
        encoding = {EncodingKind::Utf16Le, 2, false};
    } else if (bytes.substr(0, 2) == "\xFE\xFF") {
        encoding = {EncodingKind::Utf16Be, 2, false};
    } else {
        return false;
    }
    return true;
}

DecodedText Decode(std::string_view bytes, const PageEncoding& encoding) {
    DecodedText text;
    text.chars.reserve(bytes.size());
    text.offsets.reserve(bytes.size() + 1);
    std::size_t i = encoding.bomSize;
    const auto put = [&](char32_t c, std::size_t at) {
        text.chars += c;
        text.offsets.push_back(at);
    };
    switch (encoding.kind) {
        case EncodingKind::Utf8:
            while (i < bytes.size()) {
                const auto [c, size] = base::DecodeUtf8(bytes, i);
                put(c, i);
                i += size;
            }
            break;
        case EncodingKind::Utf16Le:
        case EncodingKind::Utf16Be: {
            const bool big = encoding.kind == EncodingKind::Utf16Be;
            const auto unitAt = [&](std::size_t at) -> char32_t {
                const auto b0 = static_cast<unsigned char>(bytes[at]), b1 = static_cast<unsigned char>(bytes[at + 1]);
                return big ? (char32_t(b0) << 8 | b1) : (char32_t(b1) << 8 | b0);
            };
            while (i + 1 < bytes.size()) {
                const char32_t unit = unitAt(i);
                if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
                    const char32_t low = unitAt(i + 2);
                    if (low >= 0xDC00 && low < 0xE000) {
                        put(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), i);
                        i += 4;
                        continue;
                    }
                }
                put(unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit, i);
                i += 2;
            }
            if (i < bytes.size()) {  // an odd last byte
                put(kReplacement, i);
                i = bytes.size();
            }
            break;
        }
        case EncodingKind::Windows1252:
        case EncodingKind::AsciiCompatible:
            for (; i < bytes.size(); ++i) {
                const auto b = static_cast<unsigned char>(bytes[i]);
                char32_t c = b;
                if (encoding.kind == EncodingKind::AsciiCompatible && b >= 0x80) c = kReplacement;
                if (encoding.kind == EncodingKind::Windows1252 && b >= 0x80 && b < 0xA0) c = Windows1252High(b);
                put(c, i);
            }
            break;
    }
    text.offsets.push_back(bytes.size());
    return text;
}

bool Encode(char32_t c, const PageEncoding& encoding, std::string& out) {
    if (!IsScalar(c)) return false;
    if (c < 0x80) {
        if (encoding.kind == EncodingKind::Utf16Le || encoding.kind == EncodingKind::Utf16Be)
            AppendUtf16Unit(out, c, encoding.kind == EncodingKind::Utf16Be);
        else
            out += static_cast<char>(c);
        return true;
    }
    if (encoding.asciiOnly) return false;
    switch (encoding.kind) {
        case EncodingKind::Utf8:
            base::AppendUtf8(out, c);
            return true;
        case EncodingKind::Utf16Le:
        case EncodingKind::Utf16Be: {
            char16_t units[2];
            for (int k = 0, count = base::ToUtf16(c, units); k < count; ++k)
                AppendUtf16Unit(out, units[k], encoding.kind == EncodingKind::Utf16Be);
            return true;
        }
        case EncodingKind::Windows1252:
            if (c >= 0xA0 && c <= 0xFF) {
                out += static_cast<char>(c);
                return true;
            }
            for (unsigned b = 0x80; b < 0xA0; ++b) {
                if (Windows1252High(static_cast<unsigned char>(b)) == c) {
                    out += static_cast<char>(b);
                    return true;
                }
            }
            return false;
        case EncodingKind::AsciiCompatible:
            return false;
    }
    return false;
}

}  // namespace tavisk::simhost
