#include "simhost/WebUrl.h"

#include <algorithm>
#include <vector>

#include "simhost/SimError.h"

namespace tavisk::simhost {

std::wstring RelativeUrl(const std::wstring& base, const std::wstring& url) {
    if (base.empty() || url.compare(0, base.size(), base) != 0) return url;
    if (base.back() == L'/') return url.substr(base.size());
    if (url.size() == base.size()) return {};
    if (url[base.size()] == L'/') return url.substr(base.size() + 1);
    return url;
}

std::wstring AbsoluteUrl(const std::wstring& base, const std::wstring& url) {
    const auto scheme = url.find(L':');
    if (scheme != std::wstring::npos && url.find_first_of(L"/?#") > scheme) return url;
    // The part of the base that names its root ("file:///", "http://host/"), then
    // the base's segments and the url's, "." and ".." resolved.
    const auto marker = base.find(L"://");
    std::size_t rootEnd = marker == std::wstring::npos ? 0 : base.find(L'/', marker + 3);
    rootEnd = rootEnd == std::wstring::npos ? base.size() : rootEnd + 1;
    std::vector<std::wstring> segments;
    const auto split = [&](const std::wstring& text, std::size_t from) {
        while (from <= text.size()) {
            const auto slash = std::min(text.find(L'/', from), text.size());
            const auto segment = text.substr(from, slash - from);
            if (segment == L"..") {
                if (segments.empty())
                    throw SimError(kErrorInvalidArg, L"The URL " + url + L" goes above the root of " + base + L".");
                segments.pop_back();
            } else if (!segment.empty() && segment != L".") {
                segments.push_back(segment);
            }
            from = slash + 1;
        }
    };
    split(base, rootEnd);
    split(url, 0);
    std::wstring absolute = base.substr(0, rootEnd);
    for (std::size_t k = 0; k < segments.size(); ++k) absolute += (k ? L"/" : L"") + segments[k];
    return absolute;
}

}  // namespace tavisk::simhost
