#include "chooser/PageEntry.h"

namespace tavisk {

const std::wstring& SubItem(const ui::ListItem& item, size_t index) {
    static const std::wstring kNone;
    return index >= 1 && index <= item.subItems.size() ? item.subItems[index - 1] : kNone;
}

ui::ListItem QueueEntry(const ui::ListItem& page, const std::wstring& locatedIn) {
    ui::ListItem entry;
    AssignQueueEntry(entry, page, locatedIn);
    return entry;
}

void AssignQueueEntry(ui::ListItem& entry, const ui::ListItem& page, const std::wstring& locatedIn) {
    entry.key = page.tag;
    entry.text = page.text;
    // Assigned in place, not from an initializer list, which would copy each text twice.
    entry.subItems.resize(2);
    entry.subItems[0] = SubItem(page, 1);
    entry.subItems[1] = locatedIn;
    entry.tag = page.tag;
    entry.bold = false;
    entry.selected = false;
}

std::wstring RootText(const std::wstring& rootUrl) {
    static constexpr std::wstring_view kScheme = L"FILE:///";
    if (rootUrl.size() < kScheme.size()) return rootUrl;
    for (size_t i = 0; i < kScheme.size(); ++i) {
        const wchar_t c = rootUrl[i];
        if ((c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c) != kScheme[i]) return rootUrl;
    }
    std::wstring text = rootUrl.substr(kScheme.size());
    if (!text.empty() && text.back() == L'/') text.pop_back();
    return text;
}

std::wstring FolderOfPage(const std::wstring& pageUrl, const std::wstring& name) {
    if (name.empty() || !pageUrl.ends_with(name)) return pageUrl;
    return pageUrl.substr(0, pageUrl.size() - name.size());
}

}  // namespace tavisk
