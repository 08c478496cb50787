#pragma once

#include <windows.h>

#include <unknwn.h>

#include <wrl/client.h>

#include <utility>

namespace tavisk::base::win32 {

// What keeps a COM server's module loaded: live objects made with ComObject and
// locks on its class factory (IClassFactory::LockServer). DllCanUnloadNow allows
// unloading only when ModuleInUse() is false. The count belongs to the module this
// library is linked into.
void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;
bool ModuleInUse() noexcept;

// The reference counting and QueryInterface of a COM object implementing
// `First` and `Rest` (mingw-w64 ships WRL's ComPtr but not its RuntimeClass,
// hence this small base). The object lives on the heap, is born with one
// reference (make it with MakeCom) and dies with its last; while it lives it
// counts towards ModuleInUse().
template <class First, class... Rest>
class ComObject : public First, public Rest... {
public:
    ComObject() noexcept { ModuleAddRef(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == __uuidof(First))
            *out = static_cast<First*>(this);
        else
            (void)((iid == __uuidof(Rest) ? (*out = static_cast<Rest*>(this), true) : false) || ...);
        if (!*out) *out = queryOther(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const auto left = static_cast<ULONG>(InterlockedDecrement(&_references));
        if (left == 0) delete this;
        return left;
    }

protected:
    virtual ~ComObject() { ModuleRelease(); }
    // Further interfaces the object answers to (IDispatch for a dual interface, an
    // event interface's IID); the result is AddRef'd by QueryInterface.
    virtual void* queryOther(REFIID) { return nullptr; }

private:
    LONG _references = 1;
};

// A new object with one reference, held by the returned pointer. (mingw-w64's
// ComPtr::Attach adds a reference, unlike WRL's, so it cannot take a new object over.)
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeCom(Args&&... args) {
    T* created = new T(std::forward<Args>(args)...);
    Microsoft::WRL::ComPtr<T> object(created);
    created->Release();
    return object;
}

}  // namespace tavisk::base::win32
