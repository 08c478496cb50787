#pragma once

// The small COM add-in the host window's tests load from the registry. Two classes:
// one that connects (adds a "Test &Command" button, tagged "test.command", to the
// Tools popup and listens to its Click) and one that refuses OnConnection with the
// text below. Each call the host makes is written to a log the test reads through
// the DLL's export TestAddInLog.

#include <windows.h>

inline constexpr CLSID kGoodAddInClsid = {0x9bcca803, 0xc474, 0x419e, {0xa1, 0xf9, 0x24, 0x14, 0x43, 0x5f, 0xa2, 0xa3}};
inline constexpr CLSID kRefusingAddInClsid = {
    0xe4dc0685, 0xfa4e, 0x410f, {0xb5, 0xcb, 0xc2, 0x5f, 0x14, 0x80, 0xe5, 0xfd}};
inline constexpr wchar_t kTestAddInDll[] = L"simhost_test_addin.dll";
inline constexpr wchar_t kRefusalText[] = L"The test add-in refuses to connect.";

// The calls logged so far, one per line; valid until the next call into the DLL.
using TestAddInLogFunction = const wchar_t* (*)();
