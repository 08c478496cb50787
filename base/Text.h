#pragma once

#include <string>
#include <string_view>

namespace tavisk::base {

// Texts are wide strings, as COM's BSTRs are; these
// convert at the few places where a narrow UTF-8 text is needed (exception texts,
// file names on Linux).
std::string ToUtf8(std::wstring_view text);
// Joins surrogate pairs; a lone surrogate is kept as it is, for callers that must
// see it (ToUtf8 replaces it).
std::u32string ToUtf32(std::wstring_view text);
// Appends one code point (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
std::wstring FromUtf8(std::string_view text);

// Upper-cases the letters A-Z only: enough for the file extensions and URL schemes
// the system compares, and the same on every locale and platform.
std::wstring AsciiUpper(std::wstring_view text);
std::wstring AsciiLower(std::wstring_view text);

}  // namespace tavisk::base
