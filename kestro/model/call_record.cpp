// Readable forms of recorded calls.
#include "kestro/model/call_record.h"

#include <cstdio>
#include <string>

namespace kestro {
namespace {

std::string DescribeText(const WideString& text) {
    std::string out = "u\"";
    for (WCHAR unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != WSTR('"') && unit != WSTR('\\')) {
            out.push_back(static_cast<char>(unit));
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\x{%x}", static_cast<unsigned>(unit));
            out += escaped;
        }
    }
    out.push_back('"');
    return out;
}

std::string DescribeValue(const CallValue& value) {
    if (const auto* v = std::get_if<std::int16_t>(&value)) {
        return "(short)" + std::to_string(*v);
    }
    if (const auto* v = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*v);
    }
    if (const auto* v = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*v) + "LL";
    }
    if (const auto* v = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", *v);
        return text;
    }
    return DescribeText(std::get<WideString>(value));
}

}  // namespace

std::string Describe(const RecordedCall& call) {
    std::string out = call.name + "(";
    for (std::size_t i = 0; i < call.values.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        out += DescribeValue(call.values[i]);
    }
    out += ")";
    return out;
}

std::ostream& operator<<(std::ostream& out, const RecordedCall& call) {
    return out << Describe(call);
}

}  // namespace kestro
