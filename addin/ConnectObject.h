#pragma once

#include <windows.h>

#include "addin/Connect.h"

namespace tavisk::addin {

// Creates the COM class Connect: default interface _Connect (no members of its
// own) and the host's add-in interface IDTExtensibility2, callable through the
// vtable or through IDispatch (by the type library embedded in this module).
// Failures reach the caller as HRESULTs with error info, never as exceptions.
HRESULT CreateConnectObject(CommandUi ui, REFIID riid, void** ppv) noexcept;

}  // namespace tavisk::addin
