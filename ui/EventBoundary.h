#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tavisk::ui {

// Runs the handler of a user's action. Nothing escapes it: a failure becomes a
// message box titled "Tavisk 2002" with the error icon that names what failed
// (`action`) and why. Every control event of every implementation passes here.
void RunEvent(const std::wstring& action, const std::function<void()>& handler) noexcept;

// A control's caption as an action's name: "Edit &Queue" gives "\"Edit Queue\"".
std::wstring ActionName(const std::wstring& caption);

// Keeps `object` alive until the event being handled has ended (at once when none
// is): a form may release itself from its own handler, whose frame is still on the
// stack.
void ReleaseAfterEvent(std::shared_ptr<void> object);

}  // namespace tavisk::ui
