#include "simhost/PageDocument.h"

#include <algorithm>

#include "base/Text.h"

namespace tavisk::simhost {
namespace {

bool NamesMatch(const std::wstring& a, const std::wstring& b, std::int32_t flags) {
    return (flags & 1) ? a == b : base::AsciiLower(a) == base::AsciiLower(b);
}

}  // namespace

std::optional<std::wstring> PageDocument::attribute(const std::wstring& name) const {
    for (const auto& a : _body)
        if (a.name == name) return a.value;
    return std::nullopt;
}

std::optional<std::wstring> PageDocument::attribute(const std::wstring& name, std::int32_t flags) const {
    for (const auto& a : _body)
        if (NamesMatch(a.name, name, flags)) return a.value;
    return std::nullopt;
}

void PageDocument::setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags) {
    for (auto& a : _body) {
        if (NamesMatch(a.name, name, flags)) {
            a.value = value;
            return;
        }
    }
    _body.push_back({name, value});
}

bool PageDocument::removeAttribute(const std::wstring& name, std::int32_t flags) {
    const auto it =
        std::find_if(_body.begin(), _body.end(), [&](const Attribute& a) { return NamesMatch(a.name, name, flags); });
    if (it == _body.end()) return false;
    _body.erase(it);
    return true;
}

}  // namespace tavisk::simhost
