// OwnedBstr: a BSTR that Brenkar owns, freed with SysFreeString when the holder goes, so that
// every text a Kestro getter hands out is freed on every way out of a transfer.
#pragma once

#include "common/counter_string.h"
#include "platform/oleauto.h"

class OwnedBstr {
  public:
    OwnedBstr() = default;
    // Takes ownership of `text` (null allowed), e.g. a CounterString::ToBstr result.
    explicit OwnedBstr(BSTR text) : text_(text) {}
    ~OwnedBstr() { SysFreeString(text_); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;

    // The slot for a call's out-parameter: any text held is freed first, and the call's text
    // becomes this holder's.
    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }

    // The text held (null allowed); it stays this holder's.
    BSTR Get() const { return text_; }

    // The text's units as a CounterString, embedded zeros kept; a null BSTR gives the empty
    // text (not the no-buffer state).
    CounterString ToCounterString() const {
        CounterString text;
        text.Assign(text_ != nullptr ? text_ : u"", static_cast<int>(SysStringLen(text_)));
        return text;
    }

  private:
    BSTR text_ = nullptr;
};
