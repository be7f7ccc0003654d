// UnknownBase: the one IUnknown of this system's own COM objects. The interface map is the
// list of interfaces the class derives through (plus, where needed, the other IIDs its first
// interface answers); the lifetime is named in the type:
//   CountedObject<I...>  counted, deletes itself when the last reference goes (made with new);
//   ScopedObject<I...>   counted, but owned by a scope or a member that outlives every
//                        reference: the count is kept for checks and never deletes;
//   StaticObject<I...>   one object for the whole process (a class factory): not counted.
#pragma once

#include <atomic>

#include "platform/com.h"
#include "platform/com_ptr.h"

enum class ObjectLifetime { kCounted, kScoped, kStatic };

template <ObjectLifetime lifetime, class First, class... Others>
class UnknownBase : public First, public Others... {
  public:
    // Answers IID_IUnknown and the IIDs of AlsoAnswers with the first interface, and each
    // interface's own IID with that interface; E_NOINTERFACE (and null) for any other.
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        *ppv = Find(riid);
        if (*ppv == nullptr) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override {
        if constexpr (lifetime == ObjectLifetime::kStatic) {
            return 2;
        } else {
            return ++refs_;
        }
    }
    ULONG Release() override {
        if constexpr (lifetime == ObjectLifetime::kStatic) {
            return 1;
        } else {
            const ULONG left = --refs_;
            if constexpr (lifetime == ObjectLifetime::kCounted) {
                if (left == 0) {
                    delete this;
                }
            }
            return left;
        }
    }

  protected:
    UnknownBase() = default;
    UnknownBase(const UnknownBase&) = delete;
    UnknownBase& operator=(const UnknownBase&) = delete;
    virtual ~UnknownBase() = default;

    // The IIDs besides its interfaces' own that the object answers with its first interface
    // (an event sink's outgoing interface, an object's own dispinterface, a base interface).
    virtual bool AlsoAnswers(REFIID) const { return false; }
    // The references held now (1 after construction).
    ULONG References() const { return refs_; }

  private:
    void* Find(REFIID riid) {
        if (riid == IID_IUnknown || riid == IidOf<First>::value || AlsoAnswers(riid)) {
            return static_cast<First*>(this);
        }
        void* found = nullptr;
        ((found == nullptr && riid == IidOf<Others>::value ? found = static_cast<Others*>(this)
                                                           : found),
         ...);
        return found;
    }

    std::atomic<ULONG> refs_ = 1;
};

template <class... Interfaces>
using CountedObject = UnknownBase<ObjectLifetime::kCounted, Interfaces...>;
template <class... Interfaces>
using ScopedObject = UnknownBase<ObjectLifetime::kScoped, Interfaces...>;
template <class... Interfaces>
using StaticObject = UnknownBase<ObjectLifetime::kStatic, Interfaces...>;
