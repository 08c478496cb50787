#pragma once

#include <windows.h>

#include <utility>

namespace tavisk::base::win32 {

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
    // Gives the handle up without freeing it.
    T release() noexcept { return std::exchange(_handle, T{}); }
    T get() const noexcept { return _handle; }
    explicit operator bool() const noexcept { return _handle != T{}; }

private:
    T _handle{};
};

inline void DestroyWindowHandle(HWND window) noexcept { DestroyWindow(window); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void DestroyIconHandle(HICON icon) noexcept { DestroyIcon(icon); }

// A window destroyed with its owner (DestroyWindow, on the thread that made it).
using UniqueWindow = Owned<HWND, DestroyWindowHandle>;
template <class T>
using GdiObject = Owned<T, DeleteGdiObject>;
using Icon = Owned<HICON, DestroyIconHandle>;

}  // namespace tavisk::base::win32
