#include "simhost/win32/Screenshot.h"

#include <wincodec.h>
#include <wrl/client.h>

#include "simhost/win32/ComSupport.h"

namespace tavisk::simhost::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// The GDI objects of one capture, released in reverse order.
class Capture {
public:
    Capture(int width, int height)
        : _screen(GetDC(nullptr)), _memory(CreateCompatibleDC(_screen)),
          _bitmap(CreateCompatibleBitmap(_screen, width, height)) {
        if (!_screen || !_memory || !_bitmap) throw ComError(E_FAIL, 0, L"No bitmap for the screenshot.");
        _previous = SelectObject(_memory, _bitmap);
    }
    Capture(const Capture&) = delete;
    ~Capture() {
        SelectObject(_memory, _previous);
        DeleteObject(_bitmap);
        DeleteDC(_memory);
        ReleaseDC(nullptr, _screen);
    }
    // Takes the bitmap out of the memory DC, as reading its bits requires.
    void deselect() noexcept { SelectObject(_memory, _previous); }
    HDC screen() const noexcept { return _screen; }
    HDC memory() const noexcept { return _memory; }
    HBITMAP bitmap() const noexcept { return _bitmap; }

private:
    HDC _screen;
    HDC _memory;
    HBITMAP _bitmap;
    HGDIOBJ _previous = nullptr;
};

}  // namespace

void SaveWindowPng(HWND window, const std::wstring& path) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) throw ComError(HRESULT_FROM_WIN32(GetLastError()), 0, L"No window to capture.");
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Capture capture(width, height);
    if (!BitBlt(capture.memory(), 0, 0, width, height, capture.screen(), rect.left, rect.top, SRCCOPY))
        throw ComError(HRESULT_FROM_WIN32(GetLastError()), 0, L"The window could not be copied.");
    capture.deselect();

    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
                  L"WIC");
    ComPtr<IWICBitmap> bitmap;
    ThrowIfFailed(factory->CreateBitmapFromHBITMAP(capture.bitmap(), nullptr, WICBitmapIgnoreAlpha, &bitmap),
                  L"WIC bitmap");
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

}  // namespace tavisk::simhost::win32
