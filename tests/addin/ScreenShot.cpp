#include "tests/addin/ScreenShot.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <set>
#include <stdexcept>
#include <vector>

namespace tavisk::testing {

using Microsoft::WRL::ComPtr;

namespace {

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw std::runtime_error(what);
}

// A screen capture held as a bitmap selected into its own memory DC.
class Capture {
public:
    Capture(int width, int height)
        : _screen(GetDC(nullptr)), _memory(CreateCompatibleDC(_screen)), _bitmap(CreateCompatibleBitmap(_screen, width, height)) {
        if (!_screen || !_memory || !_bitmap) throw std::runtime_error("no screen to capture");
        _previous = SelectObject(_memory, _bitmap);
    }
    ~Capture() {
        SelectObject(_memory, _previous);
        DeleteObject(_bitmap);
        DeleteDC(_memory);
        ReleaseDC(nullptr, _screen);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    HDC screen() const { return _screen; }
    HDC memory() const { return _memory; }
    HBITMAP bitmap() const { return _bitmap; }
    // GetDIBits and WIC read the bitmap only once no DC holds it.
    void deselect() { SelectObject(_memory, _previous); }

private:
    HDC _screen;
    HDC _memory;
    HBITMAP _bitmap;
    HGDIOBJ _previous = nullptr;
};

}  // namespace

size_t SaveScreenPng(const RECT& area, const std::wstring& path) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    Capture capture(width, height);
    if (!BitBlt(capture.memory(), 0, 0, width, height, capture.screen(), area.left, area.top, SRCCOPY))
        throw std::runtime_error("BitBlt failed");

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    capture.deselect();
    GetDIBits(capture.screen(), capture.bitmap(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    std::set<DWORD> colours;
    for (const DWORD p : pixels) colours.insert(p & 0xFFFFFF);

    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)), "WIC");
    ComPtr<IWICBitmap> bitmap;
    Check(factory->CreateBitmapFromHBITMAP(capture.bitmap(), nullptr, WICBitmapIgnoreAlpha, &bitmap), "WIC bitmap");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(&stream), "WIC stream");
    Check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "PNG file");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), "PNG encoder");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "PNG encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    Check(encoder->CreateNewFrame(&frame, nullptr), "PNG frame");
    Check(frame->Initialize(nullptr), "PNG frame");
    Check(frame->WriteSource(bitmap.Get(), nullptr), "PNG frame");
    Check(frame->Commit(), "PNG frame");
    Check(encoder->Commit(), "PNG file");
    return colours.size();
}

}  // namespace tavisk::testing
