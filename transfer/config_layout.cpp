// The layout's value formats, section and key names, and the fixed service sections.
#include "transfer/config_layout.h"

#include <cinttypes>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace config_layout {
namespace {

// The protocol the Protocol section names; the section of its settings is "Pam" or
// "Company".
constexpr char kPamProtocol[] = "PAM";
constexpr char kCompanyProtocol[] = "Company";

const FixedKey kServiceKeys[] = {
    {"Log", "Screen", "1"},
    {"Log", "File", "1"},
    {"Log", "Socket", "0"},
    {"Server", "Name", "<local>"},
    {"Server", "CallPort", "5123"},
    {"Server", "EventsPort", "5124"},
    {"Server", "CallTimeout", "10000"},
    {"Port", "Name", "COM2"},
    {"Protocol", "Name", kPamProtocol},  // kCompanyProtocol under /COMPANY
    {"Company", "Baudrate", "9600"},
    {"Company", "DataBits", "8"},
    {"Company", "Parity", "N"},
    {"Company", "StopBits", "1"},
    {"Pam", "Baudrate", "4800"},
    {"Pam", "DataBits", "7"},
    {"Pam", "Parity", "O"},
    {"Pam", "StopBits", "1"},
    {"Pam", "PriceDspFormat", "1"},
    {"Pam", "VolumeDspFormat", "10"},
    {"Pam", "ValueDspFormat", "10"},
    {"Pam", "PumpType", "4"},
};

const FixedKey kGscKeys[] = {
    {"GSC", "GSC", "Yes"},        {"GSC", "Name", kGscAddress}, {"GSC", "CommandPort", "6001"},
    {"GSC", "EventPort", "6003"}, {"GSC", "LogAll", "No"},      {"GSC", "AutoClear", "No"},
};

const FixedKey kIptKeys[] = {
    {"IPT", "IPT", "Yes"},       {"IPT", "Terminal", "1"}, {"IPT", "Port", "COM1"},
    {"IPT", "Baudrate", "9600"}, {"IPT", "DataBits", "8"}, {"IPT", "Parity", "N"},
    {"IPT", "StopBits", "1"},
};

constexpr int kFirstChannel = 11;
constexpr int kLastChannel = 26;

}  // namespace

std::vector<FixedKey> ServiceSectionKeys(bool pam, bool company, bool gsc, bool ipt) {
    std::vector<FixedKey> keys;
    if (!(pam || company || gsc || ipt)) {
        return keys;
    }
    for (FixedKey key : kServiceKeys) {
        if (company && std::string_view(key.value) == kPamProtocol) {
            key.value = kCompanyProtocol;
        }
        keys.push_back(key);
    }
    if (gsc) {
        keys.insert(keys.end(), std::begin(kGscKeys), std::end(kGscKeys));
    }
    if (ipt) {
        keys.insert(keys.end(), std::begin(kIptKeys), std::end(kIptKeys));
    }
    return keys;
}

std::string SectionName(SectionPattern pattern, std::int32_t id) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%0*d", pattern.prefix, pattern.digits, id);
    return name;
}

bool HasTankGaugeSection(std::int32_t portId, bool pam) {
    return pam && portId > 4;
}

std::string GradePriceKey(int level) {
    char key[32];
    std::snprintf(key, sizeof key, "Price%02d", level);
    return key;
}

std::string HoseKeyPrefix(std::int32_t hoseNumber) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "Hose%d", hoseNumber);
    return prefix;
}

std::string ChannelList(std::int32_t mask) {
    const auto bits = static_cast<std::uint32_t>(mask);
    std::string list;
    for (int channel = kFirstChannel; channel <= kLastChannel; ++channel) {
        if ((bits >> channel) & 1U) {
            list += list.empty() ? " " : ",";
            list += std::to_string(channel);
        }
    }
    return list;
}

bool KeyIsWritten(KeyCondition condition, double value) {
    return condition == KeyCondition::kAlways || value > 0.1;
}

void FormatField(CounterString& out, ValueFormat, std::int16_t value) {
    out.Format("%d", value);  // promoted to int: sign-extended
}

void FormatField(CounterString& out, ValueFormat format, std::int32_t value) {
    if (format == ValueFormat::kChannelList) {
        out.Assign(ChannelList(value).c_str());
    } else {
        out.Format("%d", value);
    }
}

void FormatField(CounterString& out, ValueFormat format, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    if (format == ValueFormat::kPanId) {
        out.Format("0x%04X", static_cast<unsigned>(bits & 0xFFFFFFFFU));
    } else {
        out.Format("0x%016" PRIX64, bits);
    }
}

void FormatField(CounterString& out, ValueFormat format, double value) {
    switch (format) {
        case ValueFormat::kFixed5:
            out.Format("%.5f", value);
            break;
        case ValueFormat::kFixed1:
            out.Format("%.1f", value);
            break;
        default:
            out.Format("%.3f", value);
            break;
    }
}

void FormatField(CounterString& out, ValueFormat, const Bstr& value) {
    out = TextOf(value);
}

}  // namespace config_layout
