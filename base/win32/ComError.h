#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

#include "base/Error.h"

namespace tavisk::base::win32 {

// An HRESULT as it is written in texts: "0x80004005".
std::wstring HresultText(HRESULT hr);

// The one check of an HRESULT: a failure raises base::Error with the text of the
// thread's error info (set by the failing callee), or the system's text for the
// code, prefixed by `what` when the callee gave none of its own.
void ThrowIfFailed(HRESULT hr, const wchar_t* what);

// Raises std::system_error with the thread's last error when `failed` is true,
// for the Win32 calls that report through GetLastError.
void ThrowLastErrorIf(bool failed, const char* what);

// The Error for a failed IDispatch::Invoke, taking the callee's EXCEPINFO when it
// raised an exception (DISP_E_EXCEPTION). Frees the EXCEPINFO's strings.
Error InvokeError(HRESULT hr, EXCEPINFO& info, const std::wstring& what);

// Makes `text` the calling thread's error info (for interface `iid`, from
// `source`), so a caller asking GetErrorInfo after the failed call reads it.
void SetErrorText(const IID& iid, const wchar_t* source, const std::wstring& text) noexcept;

// For a COM boundary, inside a catch block only: turns the exception being handled
// (as base::CaughtFailure reads it) into an HRESULT and publishes its text as the
// thread's error info, so no C++ exception crosses into the caller.
HRESULT CaughtErrorToHresult(const IID& iid, const wchar_t* source) noexcept;
// The same for IDispatch::Invoke: the text goes into `info` when the caller passed
// one (the result is then DISP_E_EXCEPTION, as Automation expects).
HRESULT CaughtErrorToExcepInfo(EXCEPINFO* info, const wchar_t* source) noexcept;

}  // namespace tavisk::base::win32
