#pragma once

#include <windows.h>

#include <commctrl.h>

#include "base/win32/Handles.h"

namespace tavisk::ui::win32 {

using base::win32::GdiObject;
using base::win32::Icon;

inline void DestroyImageList(HIMAGELIST list) noexcept { ImageList_Destroy(list); }

using ImageList = base::win32::Owned<HIMAGELIST, DestroyImageList>;

// Loads an icon resource of the add-in at `size` pixels.
Icon LoadProductIcon(int resource, int size);

}  // namespace tavisk::ui::win32
