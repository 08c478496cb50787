#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavisk::simhost {

struct Attribute {
    std::wstring name;
    std::wstring value;
    bool operator==(const Attribute&) const = default;
};

// A page as its editor holds it: the attributes of its BODY element, in order.
// Names are matched as the browser's element does: with flags 1 exactly, with
// flags 0 ignoring the case of A-Z. A page store may keep more of the page in a
// class derived from this one.
class PageDocument {
public:
    PageDocument() = default;
    explicit PageDocument(std::vector<Attribute> body, std::optional<std::wstring> firstFrameSource = {})
        : _body(std::move(body)), _firstFrameSource(std::move(firstFrameSource)) {}
    virtual ~PageDocument() = default;

    // For a frames page: the src of its first frame, as the page writes it.
    const std::optional<std::wstring>& firstFrameSource() const noexcept { return _firstFrameSource; }

    const std::vector<Attribute>& bodyAttributes() const noexcept { return _body; }
    std::optional<std::wstring> attribute(const std::wstring& name) const;
    std::optional<std::wstring> attribute(const std::wstring& name, std::int32_t flags) const;
    void setAttribute(const std::wstring& name, const std::wstring& value, std::int32_t flags);
    bool removeAttribute(const std::wstring& name, std::int32_t flags);

private:
    std::vector<Attribute> _body;
    std::optional<std::wstring> _firstFrameSource;
};

}  // namespace tavisk::simhost
