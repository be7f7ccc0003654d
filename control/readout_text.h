// The texts of the face's three readouts (volume, money value, unit price): the amount's
// absolute value formatted in the user's locale and cut to what the display window holds.
// Pure functions of the amount and its display format code; the face draws what they return.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/fixed_amount.h"

namespace tolvan {

// The last `count` characters of the UTF-8 `text` (all of it when it is shorter). Characters
// are counted, never cut.
std::string LastCharacters(std::string_view text, std::size_t count);

// The volume readout: the number format with DisplayDecimals(volumeDspFormat) places and no
// grouping, its last 7 characters.
std::string VolumeReadout(FixedAmount volume, int volumeDspFormat);

// The value readout: the currency format with DisplayDecimals(valueDspFormat) places and no
// grouping; a text longer than 7 characters loses every blank (U+0020) first, so a long
// value drops its currency symbol before its digits; then its last 7 characters.
std::string ValueReadout(FixedAmount value, int valueDspFormat);

// The price readout: the number format with DisplayDecimals(priceDspFormat) places and no
// grouping, its last 5 characters followed by "/L".
std::string PriceReadout(FixedAmount price, int priceDspFormat);

}  // namespace tolvan
