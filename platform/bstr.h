// Bstr: the one owning holder of a BSTR. It frees its text with SysFreeString on every way
// out, fills from a call's BSTR* out-parameter, and hands its text over when asked.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/oleauto.h"

class Bstr {
  public:
    Bstr() = default;
    // Takes ownership of `text` (null allowed), e.g. a SysAllocString or ToBstr result.
    explicit Bstr(BSTR text) noexcept : text_(text) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : text_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }

    // A new BSTR with the units of `text` (null only when memory is exhausted).
    static Bstr FromUtf16(WideStringView text) {
        return Bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    }
    // A new BSTR holding `text` decoded from UTF-8 (null only when memory is exhausted).
    static Bstr FromUtf8(std::string_view text) { return Bstr(BstrFromUtf8(text)); }

    // The text held (null allowed); it stays this holder's.
    BSTR Get() const { return text_; }
    // The slot for a call's out-parameter: any text held is freed first, and what the call
    // writes there becomes this holder's.
    BSTR* Out() {
        Reset();
        return &text_;
    }
    // The slot for an in-out parameter (a BSTR* the callee reads and may replace, freeing the
    // text it replaces): the text held stays, and what the call leaves there is this holder's.
    BSTR* InOut() { return &text_; }
    // Gives up ownership: the caller frees the returned text.
    BSTR Detach() { return std::exchange(text_, nullptr); }
    // Frees the text held and takes ownership of `text` (null allowed).
    void Reset(BSTR text = nullptr) {
        if (text != text_) {
            SysFreeString(std::exchange(text_, text));
        }
    }

    bool IsNull() const { return text_ == nullptr; }
    // Number of units, embedded zeros counted; 0 for null.
    UINT Length() const { return SysStringLen(text_); }
    // Every unit of the text; empty for null.
    WideStringView View() const { return {text_, Length()}; }
    // The text as UTF-8; "" for null.
    std::string Utf8() const { return BstrToUtf8(text_); }

  private:
    BSTR text_ = nullptr;
};
