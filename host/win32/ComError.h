#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

#include "host/HostError.h"

namespace tavisk::host::win32 {

// The one helper that checks an HRESULT: a failure raises HostError with the
// text of the thread's error info (set by the failing callee), or the system's
// text for the code, prefixed by `what` when the callee gave none of its own.
void ThrowIfFailed(HRESULT hr, const wchar_t* what);

// The HostError for a failed IDispatch::Invoke, taking the callee's EXCEPINFO
// when it raised an exception (DISP_E_EXCEPTION). Frees the EXCEPINFO's strings.
HostError InvokeError(HRESULT hr, EXCEPINFO& info, const std::wstring& what);

// For a COM boundary, inside a catch block only: turns the exception being
// handled into an HRESULT and publishes its text as the thread's error info, so
// no C++ exception crosses into the caller.
HRESULT CaughtErrorToHresult(const IID& iid) noexcept;
// The same for IDispatch::Invoke: the text goes into `info` when the caller
// passed one (the result is then DISP_E_EXCEPTION, as Automation expects).
HRESULT CaughtErrorToExcepInfo(EXCEPINFO* info) noexcept;

}  // namespace tavisk::host::win32
