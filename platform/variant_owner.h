// Variant: the one owning holder of a VARIANT, beside Bstr. It clears its value with
// VariantClear on every way out, fills from a call's VARIANT* out-parameter, and gives its
// value up only when asked (Detach) or frees it early when asked (Release).
#pragma once

#include <utility>

#include "platform/variant.h"

class Variant {
  public:
    Variant() noexcept { VariantInit(&value_); }
    // Takes ownership of `value` (a builder's result, or one a callee handed out). A VT_BYREF
    // value owns nothing, so clearing it only forgets its target.
    explicit Variant(VARIANT value) noexcept : value_(value) {}
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : value_(other.Detach()) {}
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&value_);
            value_ = other.Detach();
        }
        return *this;
    }

    // The value held; it stays this holder's.
    const VARIANT& Get() const { return value_; }
    VARTYPE Type() const { return value_.vt; }
    // The slot for a call's out-parameter (an Invoke result): what is held is cleared first,
    // and what the call writes there becomes this holder's.
    VARIANT* Out() {
        Release();
        return &value_;
    }
    // The value in place, for a by-reference argument to point at: the callee may change it
    // there, and what it leaves is this holder's.
    VARIANT* Target() { return &value_; }
    // Gives up ownership: the caller clears the returned value; this holder is left empty.
    VARIANT Detach() noexcept {
        VARIANT value = value_;
        VariantInit(&value_);
        return value;
    }
    // Frees what is held now (a BSTR, a reference on an interface); the holder is left empty.
    void Release() { VariantClear(&value_); }

  private:
    VARIANT value_;
};
