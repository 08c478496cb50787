#include <gtest/gtest.h>

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <functional>
#include <new>

#include "base/Error.h"
#include "base/win32/ComError.h"
#include "base/win32/ComObject.h"
#include "base/win32/Variant.h"

namespace tavisk::base::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// What a caller of a failed COM method reads: the code, then the thread's error info.
struct Reported {
    HRESULT code;
    std::wstring source, text;
};

Reported ReportedBy(const std::function<void()>& thrower) {
    HRESULT hr = S_OK;
    try {
        thrower();
    } catch (...) {
        hr = CaughtErrorToHresult(IID_IDispatch, L"tavisk.Test");
    }
    ComPtr<IErrorInfo> info;
    Reported reported{hr, L"", L""};
    if (GetErrorInfo(0, &info) == S_OK && info) {
        Bstr source, text;
        info->GetSource(source.put());
        info->GetDescription(text.put());
        reported.source = source.text();
        reported.text = text.text();
    }
    return reported;
}

TEST(CaughtErrorToHresult, ReturnsAFailureCodeAndPublishesTheText) {
    const struct {
        const char* kind;
        std::function<void()> thrower;
        HRESULT code;
        std::wstring text;
    } cases[] = {
        {"Error", [] { throw Error(E_ACCESSDENIED, L"The page is locked."); }, E_ACCESSDENIED, L"The page is locked."},
        {"Error with a success code", [] { throw Error(S_FALSE, L"Not quite."); }, E_FAIL, L"Not quite."},
        {"bad_alloc", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY, L"Out of memory."},
        {"anything else", [] { throw 1; }, E_UNEXPECTED, L"An unknown error occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const Reported reported = ReportedBy(c.thrower);
        EXPECT_EQ(reported.code, c.code);
        EXPECT_EQ(reported.source, L"tavisk.Test");
        EXPECT_EQ(reported.text, c.text);
    }
}

TEST(ThrowIfFailed, NamesWhatFailedWithTheSystemTextAndTheCode) {
    SetErrorInfo(0, nullptr);
    try {
        ThrowIfFailed(E_ACCESSDENIED, L"Saving the page failed.");
        FAIL() << "nothing was thrown";
    } catch (const Error& error) {
        EXPECT_EQ(error.code(), E_ACCESSDENIED);
        EXPECT_EQ(error.message().rfind(L"Saving the page failed. ", 0), 0u) << error.what();
        EXPECT_NE(error.message().find(L"(0x80070005)"), std::wstring::npos) << error.what();
    }
    EXPECT_EQ(HresultText(static_cast<HRESULT>(0x800A01A8)), L"0x800A01A8");
}

// Another identity the object answers to, as a host's published dual interface is.
constexpr IID kOtherIid = {0x6A1E41F0, 0x3C2B, 0x4D7E, {0x9A, 0x10, 0x51, 0x7B, 0x22, 0x0E, 0x8C, 0x44}};

class ErrorObject final : public ComObject<IErrorInfo> {
public:
    HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
        *guid = GUID_NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR* text) override { return (*text = nullptr), S_OK; }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* text) override { return (*text = nullptr), S_OK; }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* text) override { return (*text = nullptr), S_OK; }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* context) override { return (*context = 0), S_OK; }

private:
    void* queryOther(REFIID iid) override { return iid == kOtherIid ? static_cast<IErrorInfo*>(this) : nullptr; }
};

// A COM server may unload only when none of its objects is alive.
TEST(ComObject, CountsTowardsTheModuleWhileItLives) {
    ASSERT_FALSE(ModuleInUse());
    {
        ComPtr<ErrorObject> object = MakeCom<ErrorObject>();
        EXPECT_TRUE(ModuleInUse());
        ComPtr<IUnknown> unknown;
        ComPtr<IUnknown> other;
        EXPECT_EQ(object->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
        EXPECT_EQ(object->QueryInterface(kOtherIid, reinterpret_cast<void**>(other.GetAddressOf())), S_OK);
        EXPECT_EQ(object->QueryInterface(IID_IStream, reinterpret_cast<void**>(other.ReleaseAndGetAddressOf())),
                  E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_FALSE(ModuleInUse());
}

}  // namespace
}  // namespace tavisk::base::win32
