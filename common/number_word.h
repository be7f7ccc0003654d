// Reads a number from one word of a command line or a script, by one rule for every tool: the
// whole word and nothing else (no blanks, no '+', no trailing letters such as "4x"), base 10
// (a leading 0 is no octal), within a closed range. Header-only, so that the programs outside
// the deliverables use it without linking the system's libraries.
#pragma once

#include <charconv>
#include <concepts>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

enum class NumberBase {
    kDecimal,
    kDecimalOrHex,  // a word that starts with "0x" or "0X" is hexadecimal (colours, locale IDs)
};

template <typename T>
concept NumberType = std::integral<T> || std::floating_point<T>;

// The number that `word` spells, when it is within low and high (both included); nullopt for
// anything else. A whole number is digits after an optional '-'; a decimal number is what
// std::from_chars reads in its general format, finite (never "nan" or "inf").
template <NumberType Number>
std::optional<Number> ParseNumberWord(std::string_view word, Number low, Number high,
                                      NumberBase base = NumberBase::kDecimal) {
    int radix = 10;
    if constexpr (std::integral<Number>) {
        if (base == NumberBase::kDecimalOrHex && word.size() > 2 && word[0] == '0' &&
            (word[1] == 'x' || word[1] == 'X')) {
            word.remove_prefix(2);
            radix = 16;
            if (word.front() == '-') {
                return std::nullopt;  // "0x-5" is no hexadecimal number
            }
        }
    }
    Number value{};
    const char* end = word.data() + word.size();
    std::from_chars_result read{};
    if constexpr (std::integral<Number>) {
        read = std::from_chars(word.data(), end, value, radix);
    } else {
        read = std::from_chars(word.data(), end, value, std::chars_format::general);
    }
    if (word.empty() || read.ec != std::errc() || read.ptr != end || !(value >= low) ||
        !(value <= high)) {
        return std::nullopt;
    }
    return value;
}

// The text of a bound in a message: 65535, -32768, 0.5, 86400.
template <typename Number>
std::string NumberText(Number number) {
    char text[64];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, number);
    return std::string(text, written.ptr);
}

// What a word must be: "WHAT from LOW to HIGH", WHAT being "a whole number" or "a number"
// (decimals allowed) unless the caller names it ("a port number", "milliseconds").
template <typename Number>
std::string NumberWanted(Number low, Number high, std::string_view what = {}) {
    std::string wanted(what.empty() ? (std::integral<Number> ? "a whole number" : "a number")
                                    : what);
    return wanted + " from " + NumberText(low) + " to " + NumberText(high);
}

// The one-line error for a word that is no such number: "NAME needs WANTED, not 'WORD'", NAME
// being the option or command that took the word ("--zoom needs a whole number from 1 to 8, not
// '2x'").
template <typename Number>
std::string NumberWordError(std::string_view name, std::string_view word, Number low, Number high,
                            std::string_view what = {}) {
    return std::string(name) + " needs " + NumberWanted(low, high, what) + ", not '" +
           std::string(word) + "'";
}

// ParseNumberWord and NumberWordError together: true with `value` set, or false with `error`
// set and `value` untouched.
template <typename Number>
bool ReadNumberWord(std::string_view name, std::string_view word, std::type_identity_t<Number> low,
                    std::type_identity_t<Number> high, Number& value, std::string& error,
                    std::string_view what = {}, NumberBase base = NumberBase::kDecimal) {
    const std::optional<Number> read = ParseNumberWord(word, low, high, base);
    if (!read) {
        error = NumberWordError(name, word, low, high, what);
        return false;
    }
    value = *read;
    return true;
}
