#include "base/win32/ComError.h"

#include <wrl/client.h>

#include <cstdio>
#include <system_error>

namespace tavisk::base::win32 {
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
    text += system.empty() ? L"(" + HresultText(hr) + L")" : system + L" (" + HresultText(hr) + L")";
    return text;
}

// A code fit to return from a COM method: an error that carries a success code
// (or none) fails as E_FAIL.
HRESULT FailureCode(const Failure& failure) noexcept {
    return FAILED(failure.code) ? static_cast<HRESULT>(failure.code) : E_FAIL;
}

}  // namespace

std::wstring HresultText(HRESULT hr) {
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

void ThrowIfFailed(HRESULT hr, const wchar_t* what) {
    if (SUCCEEDED(hr)) return;
    std::wstring text = ThreadErrorText();
    throw Error(hr, text.empty() ? Composed(what ? what : L"", hr) : text);
}

void ThrowLastErrorIf(bool failed, const char* what) {
    if (failed) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

Error InvokeError(HRESULT hr, EXCEPINFO& info, const std::wstring& what) {
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
    return Error(hr, text.empty() ? Composed(what, hr) : text);
}

void SetErrorText(const IID& iid, const wchar_t* source, const std::wstring& text) noexcept {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return;
    create->SetGUID(iid);
    create->SetSource(const_cast<wchar_t*>(source));
    create->SetDescription(const_cast<wchar_t*>(text.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
}

HRESULT CaughtErrorToHresult(const IID& iid, const wchar_t* source) noexcept {
    const Failure failure = CaughtFailure();
    SetErrorText(iid, source, failure.text);
    return FailureCode(failure);
}

HRESULT CaughtErrorToExcepInfo(EXCEPINFO* info, const wchar_t* source) noexcept {
    const Failure failure = CaughtFailure();
    if (!info) {
        SetErrorText(GUID_NULL, source, failure.text);
        return FailureCode(failure);
    }
    *info = EXCEPINFO{};
    info->scode = FailureCode(failure);
    info->bstrSource = SysAllocString(source);
    info->bstrDescription = SysAllocString(failure.text.c_str());
    return DISP_E_EXCEPTION;
}

}  // namespace tavisk::base::win32
