// What must hold for any text handed to CounterString's parsers and formatter, checked by the
// counter_string fuzz target and replayed by the unit tests. The input's front chooses a
// format and its arguments; the rest is the text the parsers read, once as 8-bit text and
// once as 16-bit units.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "common/counter_string.h"
#include "common/fixed_amount.h"
#include "platform/oleauto.h"
#include "tests/fuzz/fuzz_input.h"

namespace counter_string_fuzz {

// The text without blanks and commas, which the parsers skip.
inline CounterString WithoutSeparators(const CounterString& text) {
    WideString kept;
    for (int i = 0; i < text.Length(); ++i) {
        if (text.Chars()[i] != OLESTR(' ') && text.Chars()[i] != OLESTR(',')) {
            kept += text.Chars()[i];
        }
    }
    CounterString result;
    result.Assign(kept.data(), static_cast<int>(kept.size()));
    return result;
}

inline std::string CheckParsers(CounterString& text, std::int16_t start, std::int16_t count) {
    const CounterString stripped = WithoutSeparators(text);
    if (stripped.ToInt() != text.ToInt()) {
        return "ToInt depends on blanks or commas";
    }
    const double amount = text.ToDouble();
    if (std::isnan(amount) || amount < 0) {
        return "ToDouble gave a negative number or NaN";
    }
    if (stripped.ToDouble() != amount) {
        return "ToDouble depends on blanks or commas";
    }
    const FixedAmount fixed = FixedAmount::FromDouble(amount);
    if (fixed.ToDouble() < 0) {
        return "an amount parsed without sign became negative";
    }
    CounterString part(text);
    part.Mid(start, count);
    if (part.Length() < 0 || part.Length() > text.Length()) {
        return "Mid made the text longer";
    }
    if (std::char_traits<char>::length(text.Narrow()) > static_cast<std::size_t>(text.Length())) {
        return "the 8-bit copy is longer than the text";
    }
    return {};
}

// Format with the chosen format and arguments must give what a bounded snprintf gives.
inline std::string CheckFormat(std::uint8_t choice, std::int32_t number, std::int64_t wide,
                               double real, const std::string& argument) {
    char expected[4096];
    CounterString formatted;
    const auto both = [&](const char* format, auto... arguments) {
        std::snprintf(expected, sizeof expected, format, arguments...);
        formatted.Format(format, arguments...);
    };
    const char* text = argument.c_str();
    switch (choice % 9) {
        case 0:
            both("%d", number);
            break;
        case 1:
            both("Port%02d", number);
            break;
        case 2:
            both("Client%03d", number);
            break;
        case 3:
            both("%.4f", real);
            break;
        case 4:
            both("%f", real);
            break;
        case 5:
            both("%s", text);
            break;
        case 6:
            both("%s=%s", text, text);
            break;
        case 7:
            both("%016llX", static_cast<unsigned long long>(wide));
            break;
        default:
            both("%*d|%-.*s", number % 5000, number, number % 5000, text);
            break;
    }
    if (formatted.Length() > 4095) {
        return "Format wrote more than its buffer holds";
    }
    if (std::string(formatted.Narrow()) != expected) {
        return "Format differs from a bounded snprintf";
    }
    return {};
}

inline std::string CheckCounterString(std::span<const std::uint8_t> bytes) {
    const std::int32_t live = CounterString::LiveCount();
    std::string failure;
    {
        fuzz_input::Reader in(bytes);
        const std::uint8_t choice = in.Byte();
        const auto number = in.Value<std::int32_t>();
        const auto wide = in.Value<std::int64_t>();
        const auto real = in.Value<double>();
        const auto start = in.Value<std::int16_t>();
        const auto count = in.Value<std::int16_t>();
        const std::string argument = in.Text(6000);
        const std::string content = in.Rest();

        CounterString printed;
        printed.Format("%d", number);
        if (printed.ToInt() != number) {
            failure = "ToInt does not read a printed number back";
        }
        CounterString narrow(content.c_str());
        WideString units(content.size() / 2, OLESTR('\0'));
        std::memcpy(units.data(), content.data(), units.size() * sizeof(WCHAR));
        CounterString unitText;
        unitText.Assign(units.data(), static_cast<int>(units.size()));
        for (CounterString* text : {&narrow, &unitText}) {
            if (failure.empty()) {
                failure = CheckParsers(*text, start, count);
            }
        }
        if (failure.empty()) {
            failure = CheckFormat(choice, number, wide, real, argument);
        }
    }
    if (failure.empty() && CounterString::LiveCount() != live) {
        failure = "a CounterString was not destroyed";
    }
    return failure;
}

}  // namespace counter_string_fuzz
