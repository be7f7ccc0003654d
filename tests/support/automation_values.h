// Test helpers for automation values, shared by every suite: the VARIANT builders (the caller
// clears what they return) and BSTR contents as comparable strings.
#pragma once

#include <string>

#include "platform/com.h"
#include "platform/variant.h"
#include "platform/variant_values.h"

namespace test_variants {

// The builders of platform/, under the names the suites use.
using namespace platform::variants;

// Every unit of `text`, embedded zeros kept; "<null>" for a null BSTR, so that a null and an
// empty text compare differently.
inline std::u16string BstrUnits(BSTR text) {
    return text == nullptr ? std::u16string(u"<null>") : std::u16string(text, SysStringLen(text));
}

}  // namespace test_variants
