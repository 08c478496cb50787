#pragma once

#include <compare>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavisk::ui {

// An immutable text whose copies share one string. A page's URL is a page list
// item's key and tag and again the key and tag of its queue entry: held once
// rather than four times, which over a web of 100,000 pages is tens of megabytes.
// Reads as the std::wstring it holds. Its hash is taken once, when it is made, and
// kept beside the text: a list indexing copies of it then never reads the text,
// which over a large list is a cache miss per item.
class SharedText {
public:
    SharedText() = default;
    SharedText(std::wstring text) : _text(text.empty() ? nullptr : std::make_shared<const Hashed>(std::move(text))) {}
    SharedText(const wchar_t* text) : SharedText(std::wstring(text)) {}

    const std::wstring& str() const noexcept { return _text ? _text->text : Empty(); }
    // std::hash of the text as a std::wstring_view.
    std::size_t hash() const noexcept { return _text ? _text->hash : EmptyHash(); }
    operator const std::wstring&() const noexcept { return str(); }
    bool empty() const noexcept { return !_text; }
    size_t size() const noexcept { return str().size(); }
    const wchar_t* c_str() const noexcept { return str().c_str(); }
    std::wstring substr(size_t at, size_t count = std::wstring::npos) const { return str().substr(at, count); }

    friend bool operator==(const SharedText& a, const SharedText& b) noexcept {
        return a._text == b._text || a.str() == b.str();
    }
    friend bool operator==(const SharedText& a, const std::wstring& b) noexcept { return a.str() == b; }
    friend bool operator==(const SharedText& a, const wchar_t* b) noexcept { return a.str() == b; }
    friend std::strong_ordering operator<=>(const SharedText& a, const SharedText& b) noexcept {
        return a.str().compare(b.str()) <=> 0;
    }
    friend std::wstring operator+(const SharedText& a, const std::wstring& b) { return a.str() + b; }
    friend std::wstring operator+(const std::wstring& a, const SharedText& b) { return a + b.str(); }
    friend std::wstring operator+(const SharedText& a, const wchar_t* b) { return a.str() + b; }
    friend std::wstring operator+(const wchar_t* a, const SharedText& b) { return a + b.str(); }

private:
    struct Hashed {
        explicit Hashed(std::wstring t) : text(std::move(t)), hash(std::hash<std::wstring_view>{}(text)) {}
        std::wstring text;
        std::size_t hash;
    };
    static const std::wstring& Empty() noexcept {
        static const std::wstring kEmpty;
        return kEmpty;
    }
    static std::size_t EmptyHash() noexcept {
        static const std::size_t kHash = std::hash<std::wstring_view>{}(std::wstring_view());
        return kHash;
    }
    std::shared_ptr<const Hashed> _text;  // null when empty
};

// The key an item is looked up by: a text and its hash. Made from an item's own
// SharedText it takes the kept hash, and finds the item holding that same text
// without reading either text. Only as a parameter: it refers to the text it was
// made from.
class ListKey {
public:
    ListKey(const std::wstring& text) noexcept : ListKey(std::wstring_view(text)) {}
    ListKey(const wchar_t* text) noexcept : ListKey(std::wstring_view(text)) {}
    ListKey(const SharedText& text) noexcept : _text(text.str()), _hash(text.hash()), _shared(&text.str()) {}

    std::wstring_view text() const noexcept { return _text; }
    std::size_t hash() const noexcept { return _hash; }
    bool matches(const SharedText& key) const noexcept { return &key.str() == _shared || key.str() == _text; }

private:
    explicit ListKey(std::wstring_view text) noexcept : _text(text), _hash(std::hash<std::wstring_view>{}(text)) {}
    std::wstring_view _text;
    std::size_t _hash;
    const std::wstring* _shared = nullptr;
};

struct ListItem {
    SharedText key;  // unique in the list
    std::wstring text;
    std::vector<std::wstring> subItems;
    SharedText tag;
    bool bold = false;
    bool selected = false;
};

}  // namespace tavisk::ui
