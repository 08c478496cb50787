#include "host/win32/ComError.h"

#include <wrl/client.h>

#include <cstdio>
#include <exception>
#include <new>

#include "host/Text.h"

namespace tavisk::host::win32 {
namespace {

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

std::wstring SystemText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? Trimmed(std::wstring(buffer, length)) : std::wstring();
    if (buffer) LocalFree(buffer);
    return text;
}

std::wstring HexCode(HRESULT hr) {
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

// The text a callee attached to the thread's error info, if any; consumes it.
std::wstring ThreadErrorText() {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    BSTR description = nullptr;
    if (FAILED(info->GetDescription(&description)) || !description) return {};
    std::wstring text(description, SysStringLen(description));
    SysFreeString(description);
    return Trimmed(std::move(text));
}

std::wstring Composed(const std::wstring& what, HRESULT hr) {
    std::wstring text = what;
    const std::wstring system = SystemText(hr);
    if (!text.empty()) text += L" ";
    text += system.empty() ? L"(" + HexCode(hr) + L")" : system + L" (" + HexCode(hr) + L")";
    return text;
}

void SetThreadErrorText(const IID& iid, const std::wstring& text) noexcept {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return;
    create->SetGUID(iid);
    create->SetSource(const_cast<wchar_t*>(L"tavisk2002.Connect"));
    create->SetDescription(const_cast<wchar_t*>(text.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
}

// The code and text of the exception being handled.
std::pair<HRESULT, std::wstring> CaughtError() noexcept {
    try {
        throw;
    } catch (const HostError& error) {
        return {FAILED(error.code()) ? static_cast<HRESULT>(error.code()) : E_FAIL, error.message()};
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, L"Out of memory."};
    } catch (const std::exception& error) {
        try {
            return {E_FAIL, FromUtf8(error.what())};
        } catch (...) {
            return {E_FAIL, L""};
        }
    } catch (...) {
        return {E_UNEXPECTED, L"Unexpected failure."};
    }
}

}  // namespace

void ThrowIfFailed(HRESULT hr, const wchar_t* what) {
    if (SUCCEEDED(hr)) return;
    std::wstring text = ThreadErrorText();
    throw HostError(hr, text.empty() ? Composed(what, hr) : text);
}

HostError InvokeError(HRESULT hr, EXCEPINFO& info, const std::wstring& what) {
    std::wstring text;
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        if (info.scode != 0 && FAILED(info.scode)) hr = info.scode;
        if (info.bstrDescription)
            text = Trimmed(std::wstring(info.bstrDescription, SysStringLen(info.bstrDescription)));
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
    if (text.empty()) text = ThreadErrorText();
    return HostError(hr, text.empty() ? Composed(what, hr) : text);
}

HRESULT CaughtErrorToHresult(const IID& iid) noexcept {
    auto [hr, text] = CaughtError();
    SetThreadErrorText(iid, text);
    return hr;
}

HRESULT CaughtErrorToExcepInfo(EXCEPINFO* info) noexcept {
    auto [hr, text] = CaughtError();
    if (!info) {
        SetThreadErrorText(GUID_NULL, text);
        return hr;
    }
    *info = EXCEPINFO{};
    info->scode = hr;
    info->bstrSource = SysAllocString(L"tavisk2002.Connect");
    info->bstrDescription = SysAllocString(text.c_str());
    return DISP_E_EXCEPTION;
}

}  // namespace tavisk::host::win32
