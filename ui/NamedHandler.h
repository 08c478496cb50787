#pragma once

#include <functional>
#include <string>

namespace tavisk::ui {

// The handler of an event that no caption names (a double-click on an item, a
// click on a node), set with the name of the user's action in the form's words
// ("Moving the page"): the message of a failure begins with it.
template <class... Args>
struct NamedHandler {
    std::wstring action;
    std::function<void(Args...)> handler;

    explicit operator bool() const noexcept { return static_cast<bool>(handler); }
    void operator()(Args... args) const { handler(args...); }
};

}  // namespace tavisk::ui
