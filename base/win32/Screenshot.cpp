#include "base/win32/Screenshot.h"

#include <wincodec.h>
#include <wrl/client.h>

#include "base/win32/ComError.h"

namespace tavisk::base::win32 {

using Microsoft::WRL::ComPtr;

namespace {

// A bitmap of `width` by `height` pixels, compatible with the screen, that `draw`
// fills through a memory DC (given the screen's DC too); null when either fails.
// The bitmap leaves the memory DC again before anyone reads it.
template <class Draw>
HBITMAP Drawn(int width, int height, Draw draw) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    bool drawn = false;
    if (bitmap) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        drawn = draw(memory, screen);
        GdiFlush();
        SelectObject(memory, previous);
    }
    if (memory) DeleteDC(memory);
    if (screen) ReleaseDC(nullptr, screen);
    if (!drawn && bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

RECT WindowArea(HWND window) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) throw Error(HRESULT_FROM_WIN32(GetLastError()), L"No window to capture.");
    return rect;
}

}  // namespace

ScreenCapture::ScreenCapture(const RECT& area) : _width(area.right - area.left), _height(area.bottom - area.top) {
    _bitmap = Drawn(_width, _height, [&](HDC memory, HDC screen) {
        return BitBlt(memory, 0, 0, _width, _height, screen, area.left, area.top, SRCCOPY) != FALSE;
    });
    if (!_bitmap) throw Error(kErrorFail, L"The screen could not be copied.");
}

ScreenCapture::ScreenCapture(HWND window) {
    const RECT area = WindowArea(window);
    _width = area.right - area.left;
    _height = area.bottom - area.top;
    _bitmap = Drawn(_width, _height, [&](HDC memory, HDC) { return PrintWindow(window, memory, 0) != FALSE; });
    if (!_bitmap) throw Error(kErrorFail, L"The window could not be printed.");
}

ScreenCapture::~ScreenCapture() { DeleteObject(_bitmap); }

std::vector<std::uint32_t> ScreenCapture::pixels() const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = _width;
    info.bmiHeader.biHeight = -_height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(_width) * static_cast<size_t>(_height));
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, _bitmap, 0, static_cast<UINT>(_height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

void ScreenCapture::savePng(const std::wstring& path) const { SaveBitmapPng(_bitmap, path); }

void SaveBitmapPng(HBITMAP source, const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
                  L"WIC");
    ComPtr<IWICBitmap> bitmap;
    ThrowIfFailed(factory->CreateBitmapFromHBITMAP(source, nullptr, WICBitmapIgnoreAlpha, &bitmap), L"WIC bitmap");
    ComPtr<IWICStream> stream;
    ThrowIfFailed(factory->CreateStream(&stream), L"WIC stream");
    ThrowIfFailed(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), path.c_str());
    ComPtr<IWICBitmapEncoder> encoder;
    ThrowIfFailed(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), L"PNG encoder");
    ThrowIfFailed(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), L"PNG encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    ThrowIfFailed(encoder->CreateNewFrame(&frame, nullptr), L"PNG frame");
    ThrowIfFailed(frame->Initialize(nullptr), L"PNG frame");
    ThrowIfFailed(frame->WriteSource(bitmap.Get(), nullptr), L"PNG frame");
    ThrowIfFailed(frame->Commit(), L"PNG frame");
    ThrowIfFailed(encoder->Commit(), L"PNG file");
}

void SaveWindowPng(HWND window, const std::wstring& path) {
    const RECT area = WindowArea(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    ScreenCapture(area).savePng(path);
}

}  // namespace tavisk::base::win32
