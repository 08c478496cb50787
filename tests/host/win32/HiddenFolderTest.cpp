// Which folders the host layer takes as hidden, through the folder's IDispatch:
// the editor's rule by name, "_" hides but _private never, whatever flag it has.
#include <windows.h>

#include <gmock/gmock.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/win32/DispatchHost.h"

namespace tavisk::testing {
namespace {

// A WebFolder object offering only the members it is given, as properties.
class FakeFolder final : public IDispatch {
public:
    struct Member {
        std::wstring name;
        std::optional<bool> flag;  // a yes/no value, else `text`
        std::wstring text = {};
        VARTYPE type = VT_BSTR;  // another: that type without a value
    };
    explicit FakeFolder(std::vector<Member> members) : _members(std::move(members)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = riid == IID_IUnknown || riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --_references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        for (size_t i = 0; i < _members.size(); ++i) {
            if (lstrcmpiW(_members[i].name.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > _members.size()) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        const Member& member = _members[static_cast<size_t>(id - 1)];
        VariantInit(result);
        if (member.flag) {
            result->vt = VT_BOOL;
            result->boolVal = *member.flag ? VARIANT_TRUE : VARIANT_FALSE;
        } else {
            result->vt = member.type;
            if (member.type == VT_BSTR) result->bstrVal = SysAllocString(member.text.c_str());
        }
        return S_OK;
    }

private:
    ULONG _references = 1;
    std::vector<Member> _members;
};

TEST(HiddenFolderTest, ANameBeginningWithAnUnderscoreHidesAFolderButPrivate) {
    using M = FakeFolder::Member;
    const struct {
        const char* what;
        std::vector<M> members;
        bool hidden;
    } cases[] = {
        {"a flag of its own is not asked",
         {{L"Url", {}, L"file:///C:/w/docs"}, {L"Name", {}, L"docs"}, {L"IsHidden", true}},
         false},
        {"_private", {{L"Url", {}, L"file:///C:/w/_private"}, {L"Name", {}, L"_private"}}, false},
        {"longer than _private", {{L"Url", {}, L"file:///C:/w/_privates"}, {L"Name", {}, L"_privates"}}, true},
        {"no flag, '_' name", {{L"Url", {}, L"file:///C:/w/_themes"}, {L"Name", {}, L"_themes"}}, true},
        {"no flag, plain name", {{L"Url", {}, L"file:///C:/w/docs"}, {L"Name", {}, L"docs"}}, false},
        {"no flag, name inside", {{L"Url", {}, L"file:///C:/w/a_b"}, {L"Name", {}, L"a_b"}}, false},
        {"no flag or name, '_' in the URL", {{L"Url", {}, L"file:///C:/w/_borders/"}}, true},
        {"no flag or name, plain URL", {{L"Url", {}, L"file:///C:/_w/pages"}}, false},
    };
    for (const auto& c : cases) {
        Microsoft::WRL::ComPtr<IDispatch> object;
        object.Attach(new FakeFolder(c.members));
        EXPECT_EQ(host::win32::MakeDispatchFolder(object)->excluded(), c.hidden) << c.what;
    }
}

// A file's title answered as Null is none; one that is no text at all names the page.
TEST(HiddenFolderTest, AFilesTitleAnsweredAsNullOrAsNoText) {
    const auto title = [](VARTYPE type) {
        Microsoft::WRL::ComPtr<IDispatch> file;
        file.Attach(new FakeFolder({{L"Url", {}, L"file:///C:/w/a.htm"}, {L"Title", {}, L"", type}}));
        return host::win32::MakeDispatchFile(file)->title();
    };
    EXPECT_EQ(title(VT_NULL), L"");
    EXPECT_THAT([&] { title(VT_ERROR); }, ::testing::ThrowsMessage<std::runtime_error>(
                                              "The host's WebFile.Title of file:///C:/w/a.htm cannot be read. "
                                              "The host's value is not a text. (0x80020005)"));
}

}  // namespace
}  // namespace tavisk::testing
