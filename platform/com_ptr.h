// ComPtr<T>: the one owning pointer to a COM interface. It counts through the interface's
// own AddRef and Release, releases on every way out, receives out-parameters
// (QueryInterface, CoCreateInstance, GetTypeInfo) and queries for other interfaces with
// As<U>().
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com.h"

// The IID of an interface type, for ComPtr::As<U>() and CreateInstance<T>; an interface
// without one does not compile there. Interfaces whose IID is only known at run time (a
// control's event dispinterface) use the As<U>(iid) form.
template <class T>
struct IidOf;
template <>
struct IidOf<IUnknown> {
    static constexpr const IID& value = IID_IUnknown;
};
template <>
struct IidOf<IDispatch> {
    static constexpr const IID& value = IID_IDispatch;
};
template <>
struct IidOf<IClassFactory> {
    static constexpr const IID& value = IID_IClassFactory;
};
template <>
struct IidOf<IConnectionPoint> {
    static constexpr const IID& value = IID_IConnectionPoint;
};
template <>
struct IidOf<IConnectionPointContainer> {
    static constexpr const IID& value = IID_IConnectionPointContainer;
};
template <>
struct IidOf<IProvideClassInfo> {
    static constexpr const IID& value = IID_IProvideClassInfo;
};
template <>
struct IidOf<IPropertyBag> {
    static constexpr const IID& value = IID_IPropertyBag;
};
template <>
struct IidOf<IPersistPropertyBag> {
    static constexpr const IID& value = IID_IPersistPropertyBag;
};
template <>
struct IidOf<IOleObject> {
    static constexpr const IID& value = IID_IOleObject;
};
template <>
struct IidOf<IOleControlSite> {
    static constexpr const IID& value = IID_IOleControlSite;
};
template <>
struct IidOf<IOleClientSite> {
    static constexpr const IID& value = IID_IOleClientSite;
};
template <>
struct IidOf<IOleControl> {
    static constexpr const IID& value = IID_IOleControl;
};
template <>
struct IidOf<IPersistStreamInit> {
    static constexpr const IID& value = IID_IPersistStreamInit;
};
template <>
struct IidOf<IProvideClassInfo2> {
    static constexpr const IID& value = IID_IProvideClassInfo2;
};
template <>
struct IidOf<IAdviseSink> {
    static constexpr const IID& value = IID_IAdviseSink;
};
template <>
struct IidOf<ISpecifyPropertyPages> {
    static constexpr const IID& value = IID_ISpecifyPropertyPages;
};
template <>
struct IidOf<IPropertyPage> {
    static constexpr const IID& value = IID_IPropertyPage;
};

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Shares `pointer`: takes a reference of its own (null allowed).
    explicit ComPtr(T* pointer) : pointer_(pointer) { AddRefHeld(); }
    // Takes over the reference the caller holds on `pointer` (null allowed).
    static ComPtr Adopt(T* pointer) {
        ComPtr adopted;
        adopted.pointer_ = pointer;
        return adopted;
    }
    ~ComPtr() { ReleaseHeld(); }

    ComPtr(const ComPtr& other) : pointer_(other.pointer_) { AddRefHeld(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // Releases the interface held (if any); the pointer becomes null.
    void Reset() { ReleaseHeld(std::exchange(pointer_, nullptr)); }
    // Gives up the reference held without releasing it: the caller releases the result.
    T* Detach() { return std::exchange(pointer_, nullptr); }
    void Swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

    // The slot for an out-parameter (T**): the interface held is released first, and the
    // reference the call writes there becomes this pointer's.
    T** Out() {
        Reset();
        return &pointer_;
    }
    // The same slot typed void**, for QueryInterface, CoCreateInstance and the like.
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

    // QueryInterface for U: a new counted pointer, or null when the object lacks U (or this
    // pointer is null).
    template <class U>
    ComPtr<U> As() const {
        return As<U>(IidOf<U>::value);  // an unknown U does not compile: use As<U>(iid)
    }
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> result;
        if (pointer_ != nullptr && FAILED(pointer_->QueryInterface(iid, result.OutVoid()))) {
            result.Reset();
        }
        return result;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.pointer_ == b.pointer_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.pointer_ == nullptr; }

  private:
    void AddRefHeld() {
        if (pointer_ != nullptr) {
            pointer_->AddRef();
        }
    }
    void ReleaseHeld() { ReleaseHeld(pointer_); }
    static void ReleaseHeld(T* pointer) {
        if (pointer != nullptr) {
            pointer->Release();
        }
    }

    T* pointer_ = nullptr;
};

// CoCreateInstance for the interface T of an in-process class; null on failure, with the
// HRESULT in `*hr` when given (CoGetLastErrorText says why).
template <class T>
ComPtr<T> CreateInstance(REFCLSID clsid, HRESULT* hr = nullptr) {
    ComPtr<T> object;
    const HRESULT result =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<T>::value, object.OutVoid());
    if (hr != nullptr) {
        *hr = result;
    }
    return object;
}
