#pragma once

// IDTExtensibility2, the interface a COM add-in offers its host, as the "Microsoft
// Add-In Designer" library (MSADDNDR) publishes it: dual, DISPIDs 1 to 5 in this
// vtable order. Declared here because that library is not part of the build.

#include <windows.h>

#include <oaidl.h>

namespace tavisk::simhost::win32 {

enum ExtConnectMode : int {
    kConnectAfterStartup = 0,
    kConnectStartup = 1,
    kConnectExternal = 2,
    kConnectCommandLine = 3
};
enum ExtDisconnectMode : int { kDisconnectHostShutdown = 0, kDisconnectUserClosed = 1 };

inline constexpr IID kExtensibilityIid = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

struct IExtensibility2 : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ExtConnectMode mode, IDispatch* addInInst,
                                                   SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ExtDisconnectMode mode, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

}  // namespace tavisk::simhost::win32

__CRT_UUID_DECL(tavisk::simhost::win32::IExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F,
                0x27, 0x44)
