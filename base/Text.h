#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavisk::base {

// Texts are wide strings, as COM's BSTRs are (UTF-16 on Windows, UTF-32 where
// wchar_t has 32 bits); these convert where another form is needed: UTF-8 for
// exception texts and file names on Linux, UTF-32 for the stand-in host's pages.
std::string ToUtf8(std::wstring_view text);
// Joins surrogate pairs; a lone surrogate is kept as it is, for callers that must
// see it (ToUtf8 replaces it).
std::u32string ToUtf32(std::wstring_view text);
// Appends one code point (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// Malformed UTF-8 reads as DecodeUtf8 reads it.
std::wstring FromUtf8(std::string_view text);

// One character of UTF-8 and the number of bytes it took.
struct Utf8Char {
    char32_t c;
    std::size_t size;
};
// The character that starts at `bytes[at]` (at < bytes.size()), read as the
// Encoding Standard's decoder and so every browser reads it: a malformed sequence is
// one U+FFFD for its longest start that a valid sequence could have (at least one
// byte), so E2 82 41 reads as U+FFFD then "A", and C0 AF as two U+FFFD.
Utf8Char DecodeUtf8(std::string_view bytes, std::size_t at);

// `c` (at most U+10FFFF) in UTF-16: one code unit, or a surrogate pair. Returns how
// many of `units` it filled.
int ToUtf16(char32_t c, char16_t (&units)[2]);
// UTF-32 text as a wide string.
std::wstring FromUtf32(std::u32string_view text);

// `text` as a whole decimal number (digits after an optional "-", nothing else), or
// nothing when it is none or does not fit: the tools' number arguments.
std::optional<long long> ToInteger(std::string_view text);

// Upper-cases the letters A-Z only: enough for the file extensions and URL schemes
// the system compares, and the same on every locale and platform.
std::wstring AsciiUpper(std::wstring_view text);
std::wstring AsciiLower(std::wstring_view text);

}  // namespace tavisk::base
