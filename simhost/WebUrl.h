#pragma once

#include <string>

namespace tavisk::simhost {

// `url` relative to `base`: the part of `url` after `base` and a "/" between
// them; `url` itself when it does not lie below `base`.
std::wstring RelativeUrl(const std::wstring& base, const std::wstring& url);
// `url` taken relative to the folder `base` ("a/../b.htm", "./b.htm"); `url`
// itself when it already names a scheme ("file:///..."). Raises SimError when
// ".." would go above the root ("file:///").
std::wstring AbsoluteUrl(const std::wstring& base, const std::wstring& url);

}  // namespace tavisk::simhost
