#include "ui/memory/MemoryControls.h"

#include <algorithm>
#include <stdexcept>

#include "base/Text.h"
#include "base/Texts.h"
#include "ui/EventBoundary.h"

namespace tavisk::ui::memory {
namespace {

template <class Handler, class... Args>
void Raise(const std::wstring& action, const Handler& handler, Args... args) {
    if (handler) RunEvent(action, [&] { handler(args...); });
}

}  // namespace

void MemoryButton::userClick() {
    if (_enabled) Raise(ActionName(_caption), onClick);
}

void MemoryCheckBox::userClick() {
    if (!_enabled) return;
    _value = _value == 1 ? 0 : 1;
    Raise(ActionName(_caption), onClick);
}

void MemoryTextBox::setText(const std::wstring& text) {
    _text = text;
    _start = _length = 0;
}

void MemoryTextBox::select(std::int32_t start, std::int32_t length) {
    const auto size = static_cast<std::int32_t>(_text.size());
    _start = std::clamp(start, 0, size);
    _length = std::clamp(length, 0, size - _start);
}

void MemoryTextBox::userFocus() {
    if (_enabled) Raise(base::Text(base::TextId::SelectingText), onGotFocus);
}

void MemoryTextBox::userType(const std::wstring& text) {
    if (!_enabled) return;
    _text.replace(static_cast<size_t>(_start), static_cast<size_t>(_length), text);
    _start += static_cast<std::int32_t>(text.size());
    _length = 0;
}

void MemoryUpDown::userArrow(int direction) {
    if (!_enabled) return;
    // As the common control's buddy-integer mode: a number in range typed into the
    // box is where the arrows start from.
    try {
        size_t used = 0;
        const std::wstring typed = _buddy.text();
        const long value = std::stol(typed, &used);
        if (used == typed.size() && value >= _minimum && value <= _maximum)
            _position = static_cast<std::int32_t>(value);
    } catch (const std::exception&) {
        // Not a number: the up-down goes on from its own position.
    }
    _position = std::clamp(_position + (direction > 0 ? 1 : -1), _minimum, _maximum);
    _buddy.setText(std::to_wstring(_position));
}

void MemoryOptionGroup::choose(std::int32_t index) {
    if (index < 0 || index >= count()) throw std::out_of_range("option index out of range");
    _chosen = index;
}

void MemoryOptionGroup::userClick(std::int32_t index) {
    if (!enabled(index)) return;
    _chosen = index;
    Raise(ActionName(caption(index)), onClick, index);
}

void MemoryListView::userColumnClick(std::int32_t header) {
    if (_enabled) Raise(base::Text(base::TextId::SortingList), onColumnClick, header);
}

void MemoryListView::userDoubleClick(const std::wstring& key) {
    if (_enabled && contains(key)) Raise(onDoubleClick.action, onDoubleClick, key);
}

void MemoryTreeView::clear() {
    _nodes.clear();
    _added.clear();
    _selected.clear();
}

std::vector<std::wstring> MemoryTreeView::children(const std::wstring& key) const {
    std::vector<std::wstring> found;
    for (const auto& added : _added) {
        if (node(added).parent == key) found.push_back(added);
    }
    return found;
}

void MemoryTreeView::add(const std::wstring& parentKey, const std::wstring& key, const std::wstring& text,
                         std::int32_t image, std::int32_t selectedImage) {
    if (contains(key)) throw std::invalid_argument("tree key already used: " + base::ToUtf8(key));
    if (!parentKey.empty() && !contains(parentKey)) {
        throw std::invalid_argument("no tree node with key " + base::ToUtf8(parentKey));
    }
    _nodes.emplace(key, Node{parentKey, text, image, selectedImage});
    _added.push_back(key);
}

const MemoryTreeView::Node& MemoryTreeView::node(const std::wstring& key) const {
    const auto found = _nodes.find(key);
    if (found == _nodes.end()) throw std::invalid_argument("no tree node with key " + base::ToUtf8(key));
    return found->second;
}

MemoryTreeView::Node& MemoryTreeView::mutableNode(const std::wstring& key) { return const_cast<Node&>(node(key)); }

void MemoryTreeView::select(const std::wstring& key) {
    node(key);
    _selected = key;
}

void MemoryTreeView::userClickNode(const std::wstring& key) {
    if (!_enabled || !contains(key)) return;
    _selected = key;
    Raise(onNodeClick.action, onNodeClick, key);
}

}  // namespace tavisk::ui::memory
