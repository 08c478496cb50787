#pragma once

#include <cstdint>
#include <string>

#include "host/HostModel.h"
#include "margins/MarginSettings.h"
#include "ui/MessageBoxes.h"

namespace tavisk {

// What the run needs of the options dialog that started it.
class RunDialog {
public:
    virtual ~RunDialog() = default;
    // Hides the dialog; it stays loaded with its choices and queue.
    virtual void hide() = 0;
    virtual std::int32_t queueCount() = 0;
    // The tag (the page's URL) of the queue entry at `index`, counted from 0 in
    // the list's order.
    virtual std::wstring queueTag(std::int32_t index) = 0;
    // Unloads the dialog and releases the process-wide instance.
    virtual void unload() = 0;
    // Shows the hidden dialog again, as it was, after a run that failed.
    virtual void showAgain() = 0;
};

inline constexpr wchar_t kRunDoneMessage[] = L"Margin settings have been applied successfully.";

// Writes `settings` into every page of the open web, or into every queued page,
// through the host's editor, Save and Close commands, then reports success. A
// failure stops the run where it happened: pages done stay saved, the current page
// stays open unsaved, the user is told which page failed and why, and the dialog
// is shown again so the run can be retried or cancelled.
void ApplyMargins(const MarginSettings& settings, RunDialog& dialog, ui::MessageBoxes& messages);

// True when a page window of the host's active web window shows `file`.
bool IsPageOpen(host::WebFile& file);

}  // namespace tavisk
