#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavisk::simhost {

// The captions of the stand-in editor's menus in one user-interface language, as
// the editor's translated editions caption them. Only captions change with the
// language: the command bars' names and the controls' Ids stay the same.
struct MenuCaptions {
    std::wstring file, open, close, save;
    std::wstring edit, view;
    std::wstring tools, spelling, options;
    std::wstring help;
    // The commands the host window adds to the File menu.
    std::wstring openWeb, closeWeb, exit;
    // The LCID the editor names its interface language by.
    std::int32_t languageId;
};

// The languages by their codes: "en" (the default), "de", "fr" and "ja".
std::vector<std::wstring> MenuLanguages();
// The captions of the language with that code; SimError for a code not offered.
const MenuCaptions& MenuCaptionsFor(const std::wstring& language);

}  // namespace tavisk::simhost
