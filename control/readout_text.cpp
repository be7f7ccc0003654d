// The readout texts of the face, from FormatAmount's text of the amount's absolute value.
#include "control/readout_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "control/amount_format.h"

namespace tolvan {

namespace {

constexpr std::size_t kReadoutCharacters = 7;
constexpr std::size_t kPriceCharacters = 5;

bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

std::size_t CharacterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char b) { return !IsContinuationByte(b); }));
}

// The most negative count has no positive twin; it shows as the largest one.
FixedAmount Magnitude(FixedAmount amount) {
    const std::int64_t count = amount.Count();
    if (count >= 0) {
        return amount;
    }
    return FixedAmount::FromCount(count == std::numeric_limits<std::int64_t>::min()
                                      ? std::numeric_limits<std::int64_t>::max()
                                      : -count);
}

}  // namespace

std::string LastCharacters(std::string_view text, std::size_t count) {
    std::size_t start = text.size();
    for (std::size_t kept = 0; start > 0 && kept < count; ++kept) {
        do {
            --start;
        } while (start > 0 && IsContinuationByte(text[start]));
    }
    return std::string(text.substr(start));
}

std::string VolumeReadout(FixedAmount volume, int volumeDspFormat) {
    return LastCharacters(
        FormatAmount(Magnitude(volume), false, DisplayDecimals(volumeDspFormat), false),
        kReadoutCharacters);
}

std::string ValueReadout(FixedAmount value, int valueDspFormat) {
    std::string text = FormatAmount(Magnitude(value), true, DisplayDecimals(valueDspFormat), false);
    if (CharacterCount(text) > kReadoutCharacters) {
        std::erase(text, ' ');
    }
    return LastCharacters(text, kReadoutCharacters);
}

std::string PriceReadout(FixedAmount price, int priceDspFormat) {
    return LastCharacters(
               FormatAmount(Magnitude(price), false, DisplayDecimals(priceDspFormat), false),
               kPriceCharacters) +
           "/L";
}

}  // namespace tolvan
