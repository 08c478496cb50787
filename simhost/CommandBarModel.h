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

// A subscriber to a button's Click event, handed the control that was clicked.
using ClickHandler = std::function<void(ControlNode& clicked, bool& cancelDefault)>;

// Every Click subscription of one set of command bars. Office raises a click in
// every handler bound to a control with the clicked control's Id and Tag, wherever
// that control stands, so the subscriptions are kept for all bars together.
struct ClickSubscribers {
    struct Entry {
        int cookie;
        std::weak_ptr<ControlNode> control;
        ClickHandler handler;
    };
    std::vector<Entry> entries;
    int nextCookie = 1;
};

// The controls of a command bar or of a popup, in order, and the Click
// subscriptions of the bars they belong to.
struct ControlList {
    std::vector<std::shared_ptr<ControlNode>> items;
    std::shared_ptr<ClickSubscribers> subscribers = std::make_shared<ClickSubscribers>();
};

// One command-bar control. Built-in controls carry their command's Id and run an
// action when executed; controls an add-in adds carry Id 1. Click handlers are the
// subscribers to a button's Click event.
class ControlNode : public std::enable_shared_from_this<ControlNode> {
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

    // Raises the Click event, with this control as the one clicked, in every
    // handler bound to a control of the same bars that has this control's Id and
    // Tag; then runs the built-in command unless a handler set CancelDefault.
    void execute();
    // A subscriber that receives the clicked control and CancelDefault, as Office's
    // Click passes them.
    int subscribe(ClickHandler handler);
    void unsubscribe(int cookie);
    // The subscriptions bound to this control itself.
    size_t subscriberCount() const noexcept;

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
    std::shared_ptr<ClickSubscribers> _subscribers = _children->subscribers;
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
    std::shared_ptr<ClickSubscribers> _subscribers = std::make_shared<ClickSubscribers>();
};

}  // namespace tavisk::simhost
