#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavisk::simhost {

class ControlNode;

// Office's MsoControlType values for the two kinds of control this host has.
enum class ControlType : std::int32_t { Button = 1, Popup = 10 };

// The controls of a command bar or of a popup, in order.
struct ControlList {
    std::vector<std::shared_ptr<ControlNode>> items;
};

// One command-bar control. Built-in controls carry their command's Id and run an
// action when executed; controls an add-in adds carry Id 1. Click handlers are the
// subscribers to a button's Click event.
class ControlNode {
public:
    ControlNode(ControlType type, std::int32_t id, std::wstring caption, std::function<void()> action = {});

    ControlType type() const noexcept { return _type; }
    std::int32_t id() const noexcept { return _id; }
    const std::wstring& caption() const noexcept { return _caption; }
    void setCaption(std::wstring caption) { _caption = std::move(caption); }
    const std::wstring& tag() const noexcept { return _tag; }
    void setTag(std::wstring tag) { _tag = std::move(tag); }
    const std::wstring& parameter() const noexcept { return _parameter; }
    bool temporary() const noexcept { return _temporary; }
    bool deleted() const noexcept { return _owner.expired(); }

    // A popup's controls; empty for a button.
    ControlList& controls() noexcept { return *_children; }

    // A new built-in control at the end of `list`.
    static std::shared_ptr<ControlNode> Append(const std::shared_ptr<ControlList>& list, ControlType type,
                                               std::int32_t id, const std::wstring& caption,
                                               std::function<void()> action = {});
    // A new blank custom control (Id 1) at the end of `list`, as Office's Add makes.
    static std::shared_ptr<ControlNode> AppendCustom(const std::shared_ptr<ControlList>& list, ControlType type,
                                                     const std::wstring& parameter, bool temporary);
    // Removes the control, with all it holds, from the bar or popup holding it.
    void remove();

    // Raises the Click event to every subscriber, then runs the built-in command
    // unless a subscriber set the event's CancelDefault flag.
    void execute();
    int subscribe(std::function<void()> handler);
    // A subscriber that receives CancelDefault, as Office's Click passes it by reference.
    int subscribeCancellable(std::function<void(bool& cancelDefault)> handler);
    void unsubscribe(int cookie);
    size_t subscriberCount() const noexcept { return _handlers.size(); }

    std::shared_ptr<ControlList> childList() const noexcept { return _children; }

private:
    // Marks the control and everything inside it as deleted.
    void detach();

    ControlType _type;
    std::int32_t _id;
    std::wstring _caption;
    std::wstring _tag;
    std::wstring _parameter;
    bool _temporary = false;
    std::function<void()> _action;
    std::shared_ptr<ControlList> _children = std::make_shared<ControlList>();
    std::weak_ptr<ControlList> _owner;
    std::vector<std::pair<int, std::function<void(bool&)>>> _handlers;
    int _nextCookie = 1;
};

struct CommandBarNode {
    std::wstring name;
    std::shared_ptr<ControlList> controls = std::make_shared<ControlList>();

    // The first control with `id`, in this bar and (when `recursive`) in its popups.
    std::shared_ptr<ControlNode> find(std::int32_t id, bool recursive) const;
};

// The host's command bars. Bars are found by name ignoring case, controls by
// caption ignoring case and the "&" that marks the access key, as Office does.
class CommandBarsModel {
public:
    CommandBarNode& addBar(const std::wstring& name);
    std::shared_ptr<CommandBarNode> find(const std::wstring& name) const;
    static std::shared_ptr<ControlNode> FindByCaption(const ControlList& list, const std::wstring& caption);

private:
    std::vector<std::shared_ptr<CommandBarNode>> _bars;
};

}  // namespace tavisk::simhost
