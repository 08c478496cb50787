#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace tavisk::ui::win32 {

// Owns one handle and frees it with `Free`; moves, never copies.
template <class T, auto Free>
class Owned {
public:
    Owned() = default;
    explicit Owned(T handle) : _handle(handle) {}
    Owned(Owned&& other) noexcept : _handle(std::exchange(other._handle, T{})) {}
    Owned& operator=(Owned&& other) noexcept {
        reset(std::exchange(other._handle, T{}));
        return *this;
    }
    ~Owned() { reset(); }
    void reset(T handle = T{}) noexcept {
        if (_handle) Free(_handle);
        _handle = handle;
    }
    T get() const noexcept { return _handle; }
    explicit operator bool() const noexcept { return _handle != T{}; }

private:
    T _handle{};
};

inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void DestroyIconHandle(HICON icon) noexcept { DestroyIcon(icon); }
inline void DestroyImageList(HIMAGELIST list) noexcept { ImageList_Destroy(list); }

template <class T>
using GdiObject = Owned<T, DeleteGdiObject>;
using Icon = Owned<HICON, DestroyIconHandle>;
using ImageList = Owned<HIMAGELIST, DestroyImageList>;

// Loads an icon resource of the add-in at `size` pixels.
Icon LoadProductIcon(int resource, int size);

}  // namespace tavisk::ui::win32
