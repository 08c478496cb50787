#pragma once

// Drives real windows as a user would: messages to the controls, a plain message
// loop like a host's (no IsDialogMessage: the add-in's hook must do that), and
// screenshots. The test programs and the end-to-end driver share it.

#include <windows.h>

#include <string>
#include <vector>

namespace tavisk::testing {

// Dispatches every queued message as a host's loop does, without IsDialogMessage.
void Pump();
// The child window of `parent` with this window class and text (the first one when
// `text` is empty); nullptr when there is none.
HWND Child(HWND parent, const std::wstring& windowClass, const std::wstring& text = L"");
// All children of one class, in tab (z) order.
std::vector<HWND> Children(HWND parent, const std::wstring& windowClass);
std::wstring Text(HWND window);
std::wstring ClassName(HWND window);
// Twips in pixels at the screen's dots per inch, as the forms place their controls.
int Pixels(int twips);
// A key pressed and released on the focused window, through its thread's queue;
// then this thread's messages are pumped.
void PressKey(HWND focused, UINT key);
// A left click at a point of the window's client area.
void Click(HWND window, int x, int y);
// The texts the list view shows in `column`, top to bottom.
std::vector<std::wstring> ListColumn(HWND list, int column);
// Saves what the window shows as a PNG beside the test program; returns the path.
// Unless `repaint` is false (to keep what a run has painted so far), the window
// and its children repaint first.
std::wstring SaveScreenshot(HWND window, const std::wstring& name, bool repaint = true);
// Saves what the screen shows inside `area` as a PNG and returns how many colours
// it holds, so a blank capture can be told apart.
size_t SaveScreenPng(const RECT& area, const std::wstring& path);
// Counts the pixels darker than mid-grey in a rectangle of the window's picture.
int DarkPixels(HWND window, RECT area);

}  // namespace tavisk::testing
