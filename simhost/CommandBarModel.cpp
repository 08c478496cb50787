#include "simhost/CommandBarModel.h"

#include <algorithm>

#include "base/Text.h"

namespace tavisk::simhost {
namespace {

std::wstring CaptionKey(const std::wstring& caption) {
    std::wstring key;
    for (const auto c : caption)
        if (c != L'&') key += c;
    return base::AsciiLower(key);
}

}  // namespace

ControlNode::ControlNode(ControlType type, std::int32_t id, std::wstring caption, std::function<void()> action)
    : _type(type), _id(id), _caption(std::move(caption)), _action(std::move(action)) {}

std::shared_ptr<ControlNode> ControlNode::Append(const std::shared_ptr<ControlList>& list, ControlType type,
                                                 std::int32_t id, const std::wstring& caption,
                                                 std::function<void()> action) {
    auto control = std::make_shared<ControlNode>(type, id, caption, std::move(action));
    control->_owner = list;
    control->_subscribers = list->subscribers;
    control->_children->subscribers = list->subscribers;
    list->items.push_back(control);
    return control;
}

std::shared_ptr<ControlNode> ControlNode::AppendCustom(const std::shared_ptr<ControlList>& list, ControlType type,
                                                       const std::wstring& parameter, bool temporary) {
    auto control = Append(list, type, 1, L"Custom");
    control->_parameter = parameter;
    control->_temporary = temporary;
    return control;
}

void ControlNode::remove() {
    if (auto owner = _owner.lock()) {
        auto& items = owner->items;
        items.erase(std::remove_if(items.begin(), items.end(), [this](const auto& c) { return c.get() == this; }),
                    items.end());
    }
    detach();
}

void ControlNode::detach() {
    _owner.reset();
    for (const auto& child : _children->items) child->detach();
}

void ControlNode::execute() {
    // Collected first: a handler may unsubscribe, or change a Tag, while the event is raised.
    std::vector<ClickHandler> handlers;
    for (const auto& entry : _subscribers->entries) {
        const auto bound = entry.control.lock();
        if (bound && !bound->deleted() && bound->_id == _id && bound->_tag == _tag) handlers.push_back(entry.handler);
    }
    bool cancelDefault = false;
    for (const auto& handler : handlers) handler(*this, cancelDefault);
    if (_action && !cancelDefault) _action();
}

int ControlNode::subscribe(ClickHandler handler) {
    _subscribers->entries.push_back({_subscribers->nextCookie, weak_from_this(), std::move(handler)});
    return _subscribers->nextCookie++;
}

void ControlNode::unsubscribe(int cookie) {
    auto& entries = _subscribers->entries;
    entries.erase(
        std::remove_if(entries.begin(), entries.end(), [cookie](const auto& e) { return e.cookie == cookie; }),
        entries.end());
}

size_t ControlNode::subscriberCount() const noexcept {
    return static_cast<size_t>(std::count_if(_subscribers->entries.begin(), _subscribers->entries.end(),
                                             [this](const auto& e) { return e.control.lock().get() == this; }));
}

std::shared_ptr<ControlNode> CommandBarNode::find(std::int32_t id, bool recursive) const {
    std::vector<std::shared_ptr<ControlList>> pending{controls};
    // Breadth first: a control of the bar itself wins over one in a popup.
    for (size_t i = 0; i < pending.size(); ++i) {
        for (const auto& control : pending[i]->items) {
            if (control->id() == id) return control;
            if (recursive && control->type() == ControlType::Popup) pending.push_back(control->childList());
        }
    }
    return nullptr;
}

CommandBarNode& CommandBarsModel::addBar(const std::wstring& name) {
    _bars.push_back(std::make_shared<CommandBarNode>());
    _bars.back()->name = name;
    _bars.back()->controls->subscribers = _subscribers;
    return *_bars.back();
}

std::shared_ptr<CommandBarNode> CommandBarsModel::find(const std::wstring& name) const {
    const auto key = base::AsciiLower(name);
    for (const auto& bar : _bars)
        if (base::AsciiLower(bar->name) == key) return bar;
    return nullptr;
}

std::shared_ptr<ControlNode> CommandBarsModel::FindByCaption(const ControlList& list, const std::wstring& caption) {
    const auto key = CaptionKey(caption);
    for (const auto& control : list.items)
        if (CaptionKey(control->caption()) == key) return control;
    return nullptr;
}

}  // namespace tavisk::simhost
