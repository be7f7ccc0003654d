// The configuration file layout on its own: value formats, the channel list, section names,
// the service sections chosen by the switches, and key names that can be read back.
#include "transfer/config_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

namespace layout = config_layout;
using layout::ValueFormat;

std::string Narrow(CounterString value) {
    return value.Narrow();
}

TEST(ConfigLayoutTest, ChannelListTakesBits11To26LowestFirst) {
    struct Row {
        std::uint32_t mask;
        const char* expected;
    };
    const Row rows[] = {
        {0, ""},
        {(1U << 11) | (1U << 15), " 11,15"},
        {(1U << 11) | (1U << 15) | (1U << 20), " 11,15,20"},
        {1U << 26, " 26"},
        {0x000007FFU | 0xF8000000U, ""},  // only bits 0-10 and 27-31: ignored
        {0xFFFFFFFFU, " 11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(layout::ChannelList(static_cast<std::int32_t>(row.mask)), row.expected)
            << std::hex << row.mask;
    }
}

TEST(ConfigLayoutTest, SectionNamesCarryTheIdentifierWithTwoOrThreeDigitsAtLeast) {
    EXPECT_EQ(layout::SectionName(layout::kPumpSection, 7), "Pump07");
    EXPECT_EQ(layout::SectionName(layout::kPumpSection, 123), "Pump123");
    EXPECT_EQ(layout::SectionName(layout::kZigBeeSection, 5), "ZigBee05");
    EXPECT_EQ(layout::SectionName(layout::kTankGaugeSection, 100), "TankGauge100");
    EXPECT_EQ(layout::SectionName(layout::kClientSection, 7), "Client007");
    EXPECT_EQ(layout::SectionName(layout::kClientSection, 1000), "Client1000");
    EXPECT_EQ(layout::SectionName(layout::kProductSection, 9999), "Product9999");
    EXPECT_EQ(layout::GradePriceKey(3), "Price03");
    EXPECT_EQ(layout::HoseKeyPrefix(4) + layout::kHoseKeys[0].key, "Hose4ID");
}

TEST(ConfigLayoutTest, TankGaugeSectionsAreForPortsAboveFourUnderPam) {
    EXPECT_FALSE(layout::HasTankGaugeSection(4, true));
    EXPECT_TRUE(layout::HasTankGaugeSection(5, true));
    EXPECT_FALSE(layout::HasTankGaugeSection(5, false));
}

TEST(ConfigLayoutTest, ValuesAreFormattedAsTheFileHoldsThem) {
    CounterString out;
    auto format = [&](ValueFormat f, auto value) {
        layout::FormatField(out, f, value);
        return Narrow(out);
    };
    EXPECT_EQ(format(ValueFormat::kInteger, std::int16_t{-1}), "-1");
    EXPECT_EQ(format(ValueFormat::kInteger, std::int16_t{-32768}), "-32768");
    EXPECT_EQ(format(ValueFormat::kInteger, std::int32_t{INT32_MIN}), "-2147483648");
    EXPECT_EQ(format(ValueFormat::kPanId, std::int64_t{0x1F}), "0x001F");
    EXPECT_EQ(format(ValueFormat::kPanId, std::int64_t{0x7FFFFFFF12345}), "0xFFF12345");
    EXPECT_EQ(format(ValueFormat::kPanId, std::int64_t{-1}), "0xFFFFFFFF");
    EXPECT_EQ(format(ValueFormat::kHex64, std::int64_t{0xABC}), "0x0000000000000ABC");
    EXPECT_EQ(format(ValueFormat::kHex64, std::int64_t{INT64_MIN}), "0x8000000000000000");
    EXPECT_EQ(format(ValueFormat::kFixed3, 5.19951), "5.200");
    EXPECT_EQ(format(ValueFormat::kFixed3, -0.0004), "-0.000");
    EXPECT_EQ(format(ValueFormat::kFixed5, 45123.500001), "45123.50000");
    EXPECT_EQ(format(ValueFormat::kFixed1, 99.95), "100.0");
    EXPECT_EQ(format(ValueFormat::kChannelList, std::int32_t{1 << 12}), " 12");
}

TEST(ConfigLayoutTest, HosePricesAreWrittenOnlyAboveOneTenth) {
    EXPECT_FALSE(layout::KeyIsWritten(layout::KeyCondition::kAboveOneTenth, 0.1));
    EXPECT_FALSE(layout::KeyIsWritten(layout::KeyCondition::kAboveOneTenth, 0.0));
    EXPECT_FALSE(layout::KeyIsWritten(layout::KeyCondition::kAboveOneTenth, -3.0));
    EXPECT_TRUE(layout::KeyIsWritten(layout::KeyCondition::kAboveOneTenth, 0.101));
    EXPECT_TRUE(layout::KeyIsWritten(layout::KeyCondition::kAlways, 0.0));
}

std::vector<std::string> SectionsOf(const std::vector<layout::FixedKey>& keys) {
    std::vector<std::string> sections;
    for (const layout::FixedKey& key : keys) {
        if (sections.empty() || sections.back() != key.section) {
            sections.push_back(key.section);
        }
    }
    return sections;
}

std::string ProtocolName(const std::vector<layout::FixedKey>& keys) {
    for (const layout::FixedKey& key : keys) {
        if (std::string(key.section) == "Protocol") {
            return key.value;
        }
    }
    return "(none)";
}

TEST(ConfigLayoutTest, SwitchesChooseTheServiceSections) {
    using Sections = std::vector<std::string>;
    const Sections common = {"Log", "Server", "Port", "Protocol", "Company", "Pam"};
    EXPECT_TRUE(layout::ServiceSectionKeys(false, false, false, false).empty());

    const auto pam = layout::ServiceSectionKeys(true, false, false, false);
    EXPECT_EQ(SectionsOf(pam), common);
    EXPECT_EQ(pam.size(), 21u);
    EXPECT_EQ(ProtocolName(pam), "PAM");

    const auto company = layout::ServiceSectionKeys(false, true, false, false);
    EXPECT_EQ(SectionsOf(company), common);
    EXPECT_EQ(ProtocolName(company), "Company");

    Sections withGsc = common;
    withGsc.push_back("GSC");
    EXPECT_EQ(SectionsOf(layout::ServiceSectionKeys(true, false, true, false)), withGsc);
    Sections withIpt = withGsc;
    withIpt.push_back("IPT");
    const auto ipt = layout::ServiceSectionKeys(true, false, true, true);
    EXPECT_EQ(SectionsOf(ipt), withIpt);
    EXPECT_EQ(ipt.size(), 21u + 6u + 7u);
}

// The import finds a key by its name, first match wins: within a section no two keys may
// share a name.
template <typename Values, std::size_t N>
void AddKeys(std::vector<std::string>& names, const layout::KeyLayout<Values> (&keys)[N]) {
    for (const auto& key : keys) {
        names.push_back(key.key);
    }
}

std::size_t Duplicates(const std::vector<std::string>& names) {
    return names.size() - std::set<std::string>(names.begin(), names.end()).size();
}

TEST(ConfigLayoutTest, KeyNamesAreUniqueWithinEachSection) {
    std::vector<std::string> port;
    AddKeys(port, layout::kPortKeys);
    AddKeys(port, layout::kZB2GKeys);
    AddKeys(port, layout::kFirmwareKeys);
    port.push_back(layout::kPortDeviceTypeKey);
    EXPECT_EQ(Duplicates(port), 0u);

    std::vector<std::string> pump;
    AddKeys(pump, layout::kPumpKeys);
    for (std::int32_t hose : {1, 2, 8}) {
        for (const auto& key : layout::kHoseKeys) {
            pump.push_back(layout::HoseKeyPrefix(hose) + key.key);
        }
    }
    EXPECT_EQ(Duplicates(pump), 0u);

    std::vector<std::string> grade;
    AddKeys(grade, layout::kGradeKeys);
    for (int level = 1; level <= layout::kPriceLevels; ++level) {
        grade.push_back(layout::GradePriceKey(level));
    }
    EXPECT_EQ(Duplicates(grade), 0u);

    std::vector<std::string> others[6];
    AddKeys(others[0], layout::kTankKeys);
    AddKeys(others[1], layout::kZigBeeKeys);
    AddKeys(others[1], layout::kFirmwareKeys);
    AddKeys(others[2], layout::kSensorKeys);
    AddKeys(others[3], layout::kAttendantKeys);
    AddKeys(others[4], layout::kCardClientKeys);
    AddKeys(others[5], layout::kProductKeys);
    for (const auto& names : others) {
        EXPECT_EQ(Duplicates(names), 0u) << names.front();
    }
}

}  // namespace
