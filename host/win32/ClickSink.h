#pragma once

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <memory>

#include "host/HostModel.h"

namespace tavisk::host::win32 {

// The Office button's outgoing event interface, _CommandBarButtonEvents, and the
// dispatch id of its Click(Ctrl, CancelDefault).
inline constexpr IID kCommandBarButtonEventsIid = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kClickDispId = 1;

// Handed the Ctrl argument of a click (null when the host passed no object there).
using ClickHandler = std::function<void(IDispatch* clicked)>;

// Subscribes `handler` to the button's Click event through its connection point.
// The handler runs on every click, with the control the host names as clicked;
// CancelDefault is left as the host passed it; a failure of the handler is returned
// to the host as the event's result. Destroying the binding unadvises. Raises
// HostError when the object is not an event source for button clicks.
std::unique_ptr<EventBinding> AdviseClick(IUnknown* button, ClickHandler handler);

}  // namespace tavisk::host::win32
