#pragma once

#include <string>

namespace tavisk::ui {

// The title of every message the add-in shows.
inline constexpr wchar_t kProductTitle[] = L"Tavisk 2002";

enum class MessageIcon { Information, Error };

// Shows a modal message box with one OK button and returns when it is closed.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::wstring& text, const std::wstring& title, MessageIcon icon) = 0;
};

}  // namespace tavisk::ui
