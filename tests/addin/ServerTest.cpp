// The DLL as COM and the host see it: its exports, version resource and type
// library, the class factory, unloading, and registration with regsvr32.
#include <windows.h>

#include <gtest/gtest.h>
#include <olectl.h>
#include <wrl/client.h>

#include <set>
#include <string>
#include <vector>

#include "addin/Registration.h"
#include "addin/tavisk2002_h.h"
#include "tests/support/WinTestSupport.h"

namespace tavisk::testing {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kClsidKey[] = L"CLSID\\{107DFA6D-DB13-4A50-B005-D760A7C313A5}";
constexpr wchar_t kInterfaceKey[] = L"Interface\\{98F1126C-D007-4A7F-840F-B5D53F47D455}";
constexpr wchar_t kTypeLibKey[] = L"TypeLib\\{AD9F469A-A1C5-4B03-8A7F-BA2D24E3278D}\\1.0";
constexpr wchar_t kLibId[] = L"{AD9F469A-A1C5-4B03-8A7F-BA2D24E3278D}";
constexpr wchar_t kClsid[] = L"{107DFA6D-DB13-4A50-B005-D760A7C313A5}";
constexpr wchar_t kExtensibilityKey[] = L"Interface\\{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}";
const std::wstring kAddinsKey = L"Software\\Microsoft\\Office\\FrontPage\\Addins";
const std::wstring kOurHostKey = kAddinsKey + L"\\tavisk2002.Connect";
const std::wstring kOtherHostKey = kAddinsKey + L"\\Other.Connect";

TEST(ServerTest, ExportsExactlyTheFourEntryPointsByName) {
    const HMODULE image = LoadLibraryExW(AddinDllPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    const auto* base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(directory.VirtualAddress, 0u);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) found.insert(reinterpret_cast<const char*>(base + names[i]));

    EXPECT_EQ(exports->NumberOfFunctions, 4u) << "nothing exported by ordinal only";
    EXPECT_EQ(found, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                            "DllUnregisterServer"}));
    FreeLibrary(image);
}

TEST(ServerTest, VersionResourceReadsBackWithTheVersionApi) {
    const std::wstring path = AddinDllPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x0000000Eu);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x0000000Eu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    const std::vector<std::pair<std::wstring, std::wstring>> texts = {
        {L"FileVersion", L"1.01.0014"},
        {L"ProductVersion", L"1.01.0014"},
        {L"FileDescription", L"Tavisk 2002 for FrontPage 2002"},
        {L"ProductName", L"Tavisk 2002"},
        {L"Comments", L"Tavisk 2002"},
        {L"InternalName", L"tavisk2002"},
        {L"OriginalFilename", L"tavisk2002.dll"},
        {L"OLESelfRegister", L""},
    };
    for (const auto& [name, expected] : texts) {
        const std::wstring query = L"\\StringFileInfo\\040904B0\\" + name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << "missing " << std::string(name.begin(), name.end());
        EXPECT_EQ(std::wstring(value, wcsnlen(value, length)), expected);
    }
}

TEST(ServerTest, TypeLibraryDescribesConnectAndTheHostsInterface) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(AddinDllPath().c_str(), REGKIND_NONE, &library), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, LIBID_tavisk2002);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0u);
    library->ReleaseTLibAttr(attributes);
    BSTR name = nullptr;
    BSTR description = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &description, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"tavisk2002");
    EXPECT_STREQ(description, L"Halvern Tavisk 2002");
    SysFreeString(name);
    SysFreeString(description);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_Connect, &coclass), S_OK);
    ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"Connect");
    SysFreeString(name);
    int flags = 0;
    HREFTYPE reference = 0;
    ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
    ComPtr<ITypeInfo> defaultInterface;
    ASSERT_EQ(coclass->GetRefTypeInfo(reference, &defaultInterface), S_OK);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(defaultInterface->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->guid, IID__Connect);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
    defaultInterface->ReleaseTypeAttr(type);

    ComPtr<ITypeInfo> extensibility;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IDTExtensibility2, &extensibility), S_OK);
    const wchar_t* methods[] = {L"OnConnection", L"OnDisconnection", L"OnAddInsUpdate", L"OnStartupComplete",
                                L"OnBeginShutdown"};
    for (int i = 0; i < 5; ++i) {
        MEMBERID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(methods[i])};
        ASSERT_EQ(extensibility->GetIDsOfNames(names, 1, &id), S_OK);
        EXPECT_EQ(id, i + 1);
    }
}

TEST(ServerTest, ClassFactoryServesOnlyConnectAndUnloadingWaitsForObjectsAndLocks) {
    ComApartment apartment;
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    auto* getClassObject = dll.proc<GetClassObjectFn>("DllGetClassObject");
    auto* canUnloadNow = dll.proc<CanUnloadNowFn>("DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnloadNow);

    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_PPV_ARGS(&factory)), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    ASSERT_EQ(getClassObject(CLSID_Connect, IID_PPV_ARGS(&factory)), S_OK);
    EXPECT_EQ(canUnloadNow(), S_OK) << "holding the factory alone does not keep the library";

    ComPtr<IUnknown> aggregated;
    ComPtr<IUnknown> outer;
    ASSERT_EQ(factory.As(&outer), S_OK);
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);

    ComPtr<IDTExtensibility2> first;
    ComPtr<_Connect> second;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&first)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&second)), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    first.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "one object is still alive";
    second.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK) << "after the last release";

    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

struct ExpectedText {
    std::wstring key;
    const wchar_t* name;
    std::wstring value;
};

std::vector<ExpectedText> ClassesRootTexts(const std::wstring& dllPath, const std::wstring& dllFolder) {
    const std::wstring clsid = kClsidKey;
    const std::wstring iface = kInterfaceKey;
    const std::wstring lib = kTypeLibKey;
    const std::wstring proxy = L"{00020424-0000-0000-C000-000000000046}";
    return {
        {clsid, nullptr, L"tavisk2002.Connect"},
        {clsid + L"\\InprocServer32", nullptr, dllPath},
        {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid + L"\\ProgID", nullptr, L"tavisk2002.Connect"},
        {clsid + L"\\TypeLib", nullptr, kLibId},
        {clsid + L"\\VERSION", nullptr, L"1.0"},
        {L"tavisk2002.Connect", nullptr, L"tavisk2002.Connect"},
        {L"tavisk2002.Connect\\CLSID", nullptr, kClsid},
        {iface, nullptr, L"_Connect"},
        {iface + L"\\ProxyStubClsid", nullptr, proxy},
        {iface + L"\\ProxyStubClsid32", nullptr, proxy},
        {iface + L"\\TypeLib", nullptr, kLibId},
        {iface + L"\\TypeLib", L"Version", L"1.0"},
        {lib, nullptr, L"Halvern Tavisk 2002"},
        {lib + L"\\0\\win32", nullptr, dllPath},
        {lib + L"\\FLAGS", nullptr, L"0"},
        {lib + L"\\HELPDIR", nullptr, dllFolder},
    };
}

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

TEST(ServerTest, Regsvr32RegistersAndUnregistersExactlyItsOwnKeys) {
    ComApartment apartment;
    const std::wstring dll = AddinDllPath();
    const std::wstring folder = dll.substr(0, dll.find_last_of(L'\\') + 1);
    // What others keep in the host's key, which must survive us.
    SetText(HKEY_CURRENT_USER, kOtherHostKey, L"FriendlyName", L"Other add-in");
    SetText(HKEY_CURRENT_USER, kAddinsKey, L"KeptValue", L"kept");
    SetText(HKEY_CLASSES_ROOT, L"Other.Connect", nullptr, L"Other.Connect");

    const bool extensibilityKnown = KeyExists(HKEY_CLASSES_ROOT, kExtensibilityKey);

    ASSERT_EQ(RunProgram(L"regsvr32.exe /s \"" + dll + L"\""), 0u);
    EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, kExtensibilityKey), extensibilityKnown);

    for (const auto& [key, name, value] : ClassesRootTexts(dll, folder)) {
        SCOPED_TRACE(std::string(key.begin(), key.end()));
        EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, key, name), value);
    }
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOurHostKey, L"FriendlyName"), L"Tavisk 2002");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOurHostKey, L"Description"), L"Halvern Tavisk 2002");
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kOurHostKey, L"LoadBehavior"), 3u);
    EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, kOurHostKey, L"CommandLineSafe"), 0u);

    // Creatable by its ProgID, through the registered in-process server.
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"tavisk2002.Connect", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Connect);
    {
        ComPtr<IDTExtensibility2> addin;
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&addin)), S_OK);
        ComPtr<IDispatch> dispatch;
        EXPECT_EQ(addin.As(&dispatch), S_OK);
    }

    ASSERT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);

    for (const wchar_t* key :
         {kClsidKey, L"tavisk2002.Connect", kInterfaceKey, L"TypeLib\\{AD9F469A-A1C5-4B03-8A7F-BA2D24E3278D}"})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << std::string(key, key + wcslen(key));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kOurHostKey));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kOtherHostKey, L"FriendlyName"), L"Other add-in");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kAddinsKey, L"KeptValue"), L"kept");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"Other.Connect", nullptr), L"Other.Connect");
    EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, kExtensibilityKey), extensibilityKnown)
        << "the host's interface is not ours";

    // Unregistering again finds nothing to remove and is no failure.
    EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + dll + L"\""), 0u);

    RegDeleteTreeW(HKEY_CURRENT_USER, kOtherHostKey.c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kAddinsKey.c_str(), L"KeptValue");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Other.Connect");
}

// A key below which only volatile keys can be made: writing registration's
// lasting keys there fails, as on a hive the user may not write.
class ScratchKey {
public:
    explicit ScratchKey(const std::wstring& name, bool isVolatile) : _name(L"Software\\TaviskTests\\" + name) {
        RegDeleteTreeW(HKEY_CURRENT_USER, _name.c_str());
        RegCreateKeyExW(HKEY_CURRENT_USER, _name.c_str(), 0, nullptr,
                        isVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &_key,
                        nullptr);
    }
    ~ScratchKey() {
        RegCloseKey(_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, _name.c_str());
    }
    HKEY get() const { return _key; }

private:
    std::wstring _name;
    HKEY _key = nullptr;
};

TEST(ServerTest, RegistrationReportsAKeyItCannotWrite) {
    ScratchKey classes(L"Classes", false);
    ScratchKey user(L"User", false);
    ScratchKey unwritable(L"Unwritable", true);
    ASSERT_TRUE(classes.get() && user.get() && unwritable.get());

    EXPECT_EQ(addin::RegisterServer({unwritable.get(), user.get()}, L"C:\\x\\tavisk2002.dll"), SELFREG_E_CLASS);
    EXPECT_FALSE(KeyExists(user.get(), kOurHostKey)) << "later steps are not done";

    const HRESULT hr = addin::RegisterServer({classes.get(), unwritable.get()}, L"C:\\x\\tavisk2002.dll");
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(ReadText(classes.get(), kClsidKey, nullptr), L"tavisk2002.Connect") << "what came before stays";

    // Into writable roots it succeeds, and unregistration leaves the parents.
    ASSERT_EQ(addin::RegisterServer({classes.get(), user.get()}, L"C:\\x\\tavisk2002.dll"), S_OK);
    EXPECT_EQ(ReadText(classes.get(), std::wstring(kTypeLibKey) + L"\\HELPDIR", nullptr), L"C:\\x\\");
    ASSERT_EQ(addin::UnregisterServer({classes.get(), user.get()}), S_OK);
    EXPECT_FALSE(KeyExists(classes.get(), L"CLSID\\{107DFA6D-DB13-4A50-B005-D760A7C313A5}"));
    EXPECT_TRUE(KeyExists(classes.get(), L"CLSID"));
    EXPECT_TRUE(KeyExists(classes.get(), L"TypeLib"));
    EXPECT_TRUE(KeyExists(user.get(), kAddinsKey));
    EXPECT_FALSE(KeyExists(user.get(), kOurHostKey));
}

}  // namespace
}  // namespace tavisk::testing
