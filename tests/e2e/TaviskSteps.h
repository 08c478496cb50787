#pragma once

// The add-in's windows as a user meets them in the stand-in host: its command in
// the Tools menu, the options dialog, the page chooser and its message boxes. The
// walkthrough and the end-to-end tests take the same steps. They find the controls
// by their captions in the language set with base::SetLanguage (English unless set).

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/UiDriver.h"

namespace tavisk::e2e {

constexpr wchar_t kProduct[] = L"Tavisk 2002";
constexpr wchar_t kChooserCaption[] = L"Tavisk 2002 - Select Files";
constexpr wchar_t kNoWebMessage[] = L"You must open a Web before using Tavisk 2002.";
constexpr wchar_t kDoneMessage[] = L"Margin settings have been applied successfully.";
// Tools > "&Halvern Add-ins" > "&Tavisk 2002..." by their mnemonics.
constexpr wchar_t kCommandKeys[] = L"tht";
// The same in the language set, whose editor captions Tools "E&xtras" or "&Outils".
std::wstring CommandKeys();

// Saves the windows a drive passes through as numbered PNG files in one folder;
// without a folder it saves nothing.
class Camera {
public:
    explicit Camera(std::filesystem::path folder = {}) : _folder(std::move(folder)) {}
    void shoot(const std::wstring& name, const std::vector<HWND>& windows);
    const std::vector<std::filesystem::path>& shots() const noexcept { return _shots; }

private:
    std::filesystem::path _folder;
    std::vector<std::filesystem::path> _shots;
};

// The choices of one run, as typed and clicked in the options dialog.
struct Choices {
    std::wstring top;   // empty: "&Top margin" stays unticked
    std::wstring left;  // empty: "&Left margin" stays unticked
    int platform = 0;   // 0 both families, 1 Internet Explorer only, 2 Netscape only
};

bool IsOptionsDialog(HWND window);
bool IsMessageBox(HWND window);

// Picks the add-in's command and waits for its options dialog.
HWND OpenOptionsDialog(HostProcess& host, Camera& camera);
// Ticks the margins on, types their values and chooses the compatibility.
void MakeChoices(HWND dialog, const Choices& choices);
void ChooseSelectedPages(HWND dialog);
// The options dialog's queue (the "Name" column).
std::vector<std::wstring> OptionsQueue(const HostProcess& host, HWND dialog);

// "Edit &Queue": waits for the chooser to replace its wait window.
HWND OpenChooser(HostProcess& host, HWND dialog, Camera& camera);
// Clicks the folder in the chooser's tree (a path of labels below the root) and
// waits for its pages to be listed.
void ShowFolder(HostProcess& host, HWND chooser, const std::vector<std::wstring>& folders);
std::vector<std::wstring> ListedPages(const HostProcess& host, HWND chooser);
std::vector<std::wstring> ChooserQueue(const HostProcess& host, HWND chooser);
// Double-clicks a listed page, which moves it into the queue.
void QueueByDoubleClick(HostProcess& host, HWND chooser, const std::wstring& page);
// Selects the listed pages (click, then Ctrl+click) and clicks "&Add Selected to Queue".
void QueueSelected(HostProcess& host, HWND chooser, const std::vector<std::wstring>& pages);
// The chooser's OK; waits for it to close.
void ConfirmChooser(HostProcess& host, HWND chooser);

// The message box titled "Tavisk 2002" that appears next; its text.
HWND WaitForMessage(const HostProcess& host);
std::wstring MessageText(HWND box);
// Clicks the message box's OK and waits for it to close.
void Answer(const HostProcess& host, HWND box);
// Clicks OK in the options dialog; returns the message box the run ends with.
HWND RunFromDialog(HostProcess& host, HWND dialog);

}  // namespace tavisk::e2e
