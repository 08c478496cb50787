#pragma once

// A late-binding client, as the add-in and Basic call the host: every member is
// found with GetIDsOfNames and called with Invoke.

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "base/win32/Variant.h"

namespace tavisk::testing {

using base::win32::Variant;
using Microsoft::WRL::ComPtr;

// What one call gave: its HRESULT, its result, and on failure the exception's
// code and text.
struct CallResult {
    HRESULT hr = S_OK;
    Variant value;
    HRESULT scode = S_OK;
    std::wstring description;
    UINT argumentError = 0;
};

// Arguments in the order a caller writes them; a name makes it a named argument.
struct Arg {
    Arg(Variant v) : value(std::move(v)) {}
    Arg(const wchar_t* text) : value(Variant::Text(text)) {}
    Arg(int number) : value(Variant::Int(number)) {}
    Arg(bool flag) : value(Variant::Bool(flag)) {}
    Arg(std::wstring argumentName, Variant v) : name(std::move(argumentName)), value(std::move(v)) {}
    std::wstring name;
    Variant value;
};

Variant Missing();
Variant Object(const ComPtr<IDispatch>& object);

// Invokes `member` (resolved by name) with `flags`; never throws.
CallResult Call(IDispatch* object, const std::wstring& member, WORD flags, std::vector<Arg> args = {});
// The same with a dispatch id given directly.
CallResult CallId(IDispatch* object, DISPID id, WORD flags, std::vector<Arg> args = {});

// Conveniences that fail the running test when the call fails.
Variant Get(IDispatch* object, const std::wstring& member, std::vector<Arg> args = {});
ComPtr<IDispatch> GetObject(IDispatch* object, const std::wstring& member, std::vector<Arg> args = {});
std::wstring GetString(IDispatch* object, const std::wstring& member, std::vector<Arg> args = {});
long GetLong(IDispatch* object, const std::wstring& member, std::vector<Arg> args = {});
Variant Method(IDispatch* object, const std::wstring& member, std::vector<Arg> args = {});
void Put(IDispatch* object, const std::wstring& member, Variant value);

// The objects of a collection, walked through its _NewEnum.
std::vector<ComPtr<IDispatch>> Enumerate(IDispatch* collection);

// The thread's error info text after a failed call.
std::wstring ErrorInfoText();

}  // namespace tavisk::testing
