#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavisk::simhost {

// Reads the character reference that starts with the "&" at `text[at]`, as a
// browser's tokenizer does, and appends what it stands for to `out`. Returns the
// number of characters it took, or 0 when the "&" starts no reference (the caller
// then keeps the "&" as text). In an attribute value, a named reference without its
// ";" followed by "=" or a letter or digit is left as text, as browsers do.
std::size_t ReadCharacterReference(std::u32string_view text, std::size_t at, bool inAttribute, std::u32string& out);

}  // namespace tavisk::simhost
