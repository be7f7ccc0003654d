// Judging values by the import's own conversions: the number a text says, set against what
// CounterString::ToInt and ToDouble through FixedAmount make of it.
#include "transfer/value_check.h"

#include <cctype>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "common/counter_string.h"
#include "common/fixed_amount.h"

namespace {

constexpr int kAmountDecimals = 4;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The value of an amount as the file writes it: up to four decimals, no trailing zeros.
std::string AmountText(FixedAmount amount) {
    const std::int64_t count = amount.Count();
    const std::uint64_t magnitude =
        count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    char text[48];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%04" PRIu64, count < 0 ? "-" : "",
                  magnitude / FixedAmount::kScale, magnitude % FixedAmount::kScale);
    std::string result = text;
    while (result.back() == '0') {
        result.pop_back();
    }
    if (result.back() == '.') {
        result.pop_back();
    }
    return result;
}

// Why a number's text is not a plain number, judged at its first odd character.
std::string Oddity(const std::string& text, bool amount) {
    bool digitSeen = false;
    bool pointSeen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digitSeen = true;
        } else if (c == ',') {
            return "the comma is skipped";
        } else if (c == ' ') {
            return "the blank is skipped";
        } else if ((c == 'e' || c == 'E') && digitSeen) {
            return "an exponent is not understood";
        } else if (c == '.' && !amount) {
            return "a whole number is expected; the decimals are dropped";
        } else if (c == '.' && pointSeen) {
            return "the second point ends the number";
        } else if (c == '.') {
            pointSeen = true;
        } else if (c == '-' && amount && i == 0) {
            return "an amount has no sign; a negative amount is read as 0";
        } else if ((c == '-' || c == '+') && amount) {
            return "an amount has no sign; the sign ends the number";
        } else if ((c == '-' || c == '+') && i > 0) {
            return "a sign inside the number still sets its sign";
        } else if (c != '-' && c != '+') {
            return digitSeen ? "the text from " + Quoted(text.substr(i)) + " is ignored"
                             : "it is no number";
        }
    }
    return "it is no plain number";
}

std::optional<std::string> IntegerFinding(ValueKind kind, const std::string& text) {
    CounterString value(text.c_str());
    const std::int32_t read =
        kind == ValueKind::kInt16 ? record_reader::ToInt16(value) : record_reader::ToInt32(value);
    const std::string readAs = Quoted(text) + " is read as " + std::to_string(read) + ": ";
    std::size_t start = text[0] == '-' || text[0] == '+' ? 1 : 0;
    bool plain = start < text.size();
    for (std::size_t i = start; i < text.size(); ++i) {
        plain = plain && IsDigit(text[i]);
    }
    if (!plain) {
        return readAs + Oddity(text, false);
    }
    while (start + 1 < text.size() && text[start] == '0') {
        ++start;
    }
    // Up to 10 significant digits are compared by value; more never fit 32 bits.
    const std::string digits = text.substr(start);
    const std::int64_t magnitude = digits.size() <= 10 ? std::stoll(digits) : INT64_MAX;
    const std::int64_t says = text[0] == '-' ? -magnitude : magnitude;
    if (says == read) {
        return std::nullopt;
    }
    if (says < INT32_MIN || says > INT32_MAX) {
        return readAs + "it is beyond the 32-bit range and wraps";
    }
    return readAs + "it does not fit the 16-bit field";
}

std::optional<std::string> AmountFinding(const std::string& text) {
    CounterString value(text.c_str());
    const FixedAmount read = FixedAmount::FromDouble(value.ToDouble());
    const std::string readAs = Quoted(text) + " is read as " + AmountText(read) + ": ";
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    bool plain = !whole.empty() || !fraction.empty();
    for (char c : whole + fraction) {
        plain = plain && IsDigit(c);
    }
    if (!plain) {
        return readAs + Oddity(text, true);
    }
    for (std::size_t i = kAmountDecimals; i < fraction.size(); ++i) {
        if (fraction[i] != '0') {
            return readAs + "it has more than four decimals";
        }
    }
    // The count the text says, exactly; beyond 18 digits it can only differ.
    std::string count = whole + (fraction + "0000").substr(0, kAmountDecimals);
    count.erase(0, std::min(count.find_first_not_of('0'), count.size() - 1));
    if (count.size() > 18 || std::stoll(count) != read.Count()) {
        return readAs + "it is too large to be carried exactly";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> NumberFinding(ValueKind kind, const std::string& read) {
    if (read.empty() || kind == ValueKind::kText) {
        return std::nullopt;
    }
    return kind == ValueKind::kAmount ? AmountFinding(read) : IntegerFinding(kind, read);
}

std::optional<std::string> TextFinding(const std::string& written, const std::string& read,
                                       bool blankBeforeEquals) {
    if (written.size() > kLongestText) {
        return "the text of " + std::to_string(written.size()) + " characters is cut to " +
               std::to_string(kLongestText);
    }
    std::string said = written;
    if (blankBeforeEquals) {
        said.erase(0, said.find_first_not_of(' ') == std::string::npos
                          ? said.size()
                          : said.find_first_not_of(' '));
    }
    if (said == read) {
        return std::nullopt;
    }
    if (said.size() >= 2 && said.front() == '"' && said.back() == '"') {
        return "the enclosing quotes are removed: read as " + Quoted(read);
    }
    if (!said.empty() && said.front() == ' ') {
        return Quoted(said) + " is read as " + Quoted(read) + ": the leading blanks are dropped";
    }
    if (!said.empty() && said.back() == ' ') {
        return Quoted(said) + " is read as " + Quoted(read) + ": the trailing blanks are dropped";
    }
    return Quoted(said) + " is read as " + Quoted(read);
}
