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
    // Copy first: a handler may unsubscribe while the event is raised.
    const auto handlers = _handlers;
    bool cancelDefault = false;
    for (const auto& [cookie, handler] : handlers) handler(cancelDefault);
    if (_action && !cancelDefault) _action();
}

int ControlNode::subscribe(std::function<void()> handler) {
    return subscribeCancellable([handler = std::move(handler)](bool&) { handler(); });
}

int ControlNode::subscribeCancellable(std::function<void(bool& cancelDefault)> handler) {
    _handlers.emplace_back(_nextCookie, std::move(handler));
    return _nextCookie++;
}

void ControlNode::unsubscribe(int cookie) {
    _handlers.erase(
        std::remove_if(_handlers.begin(), _handlers.end(), [cookie](const auto& h) { return h.first == cookie; }),
        _handlers.end());
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
