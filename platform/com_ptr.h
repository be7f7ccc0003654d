// ComPtr<T>: the one owning pointer to a COM interface. It counts through the interface's
// own AddRef and Release, releases on every way out, receives out-parameters
// (QueryInterface, CoCreateInstance, GetTypeInfo) and queries for other interfaces with
// As<U>().
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com.h"

// The IID of an interface type, for ComPtr::As<U>() and CreateInstance. Interfaces whose IID
// is only known at run time (a control's event dispinterface) use the As(REFIID) form.
template <class T>
inline constexpr const IID* kIidOf = nullptr;
template <>
inline constexpr const IID* kIidOf<IUnknown> = &IID_IUnknown;
template <>
inline constexpr const IID* kIidOf<IDispatch> = &IID_IDispatch;
template <>
inline constexpr const IID* kIidOf<IClassFactory> = &IID_IClassFactory;
template <>
inline constexpr const IID* kIidOf<IConnectionPoint> = &IID_IConnectionPoint;
template <>
inline constexpr const IID* kIidOf<IConnectionPointContainer> = &IID_IConnectionPointContainer;
template <>
inline constexpr const IID* kIidOf<IProvideClassInfo> = &IID_IProvideClassInfo;
template <>
inline constexpr const IID* kIidOf<IPropertyBag> = &IID_IPropertyBag;
template <>
inline constexpr const IID* kIidOf<IPersistPropertyBag> = &IID_IPersistPropertyBag;
template <>
inline constexpr const IID* kIidOf<IOleObject> = &IID_IOleObject;
template <>
inline constexpr const IID* kIidOf<IOleControlSite> = &IID_IOleControlSite;
template <>
inline constexpr const IID* kIidOf<ISpecifyPropertyPages> = &IID_ISpecifyPropertyPages;
template <>
inline constexpr const IID* kIidOf<IPropertyPage> = &IID_IPropertyPage;

// GCC's sanitizers make comparing a global's address with null no constant expression, so
// sanitizer builds leave the compile-time IID checks below to the normal build.
#ifdef __SANITIZE_ADDRESS__
#define FORECOURT_IID_CHECK_OFF
#endif

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
#ifndef FORECOURT_IID_CHECK_OFF
        static_assert(kIidOf<U> != nullptr, "the IID of U is not known; use As<U>(iid)");
#endif
        return As<U>(*kIidOf<U>);
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
#ifndef FORECOURT_IID_CHECK_OFF
    static_assert(kIidOf<T> != nullptr, "the IID of T is not known");
#endif
    ComPtr<T> object;
    const HRESULT result =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, *kIidOf<T>, object.OutVoid());
    if (hr != nullptr) {
        *hr = result;
    }
    return object;
}
