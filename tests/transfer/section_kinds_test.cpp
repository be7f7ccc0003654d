// The kinds of section a file's section names give: every kind's own name for an identifier
// (the pattern's digits at least, zeros in front) and the names that only look like one.
#include "transfer/section_kinds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transfer/config_layout.h"
#include "transfer/import.h"

namespace {

using namespace section_kinds;

// For every kind, identifiers of each width, written with up to three extra zeros in front:
// the name is the kind's own exactly when the layout would write it so.
TEST(SectionKindsTest, ANameIsCanonicalExactlyWhenTheLayoutWritesIt) {
    const std::vector<ImportKind> kinds = ImportKinds();
    int names = 0;
    for (std::size_t group = 0; group < kinds.size(); ++group) {
        const config_layout::SectionPattern pattern = kinds[group].section;
        for (const std::int32_t id :
             {0, 1, 7, 9, 10, 42, 99, 100, 123, 999, 1000, 9999, 123456789}) {
            const std::string digits = std::to_string(id);
            for (std::size_t zeros = 0; zeros <= 3 && digits.size() + zeros <= 9; ++zeros) {
                const std::string name =
                    std::string(pattern.prefix) + std::string(zeros, '0') + digits;
                const SectionKind kind = KindOf(name, kinds);
                EXPECT_EQ(kind.group, static_cast<int>(group)) << name;
                EXPECT_EQ(kind.id, id) << name;
                EXPECT_EQ(kind.canonical, SameName(name, config_layout::SectionName(pattern, id)))
                    << name;
                ++names;
            }
        }
    }
    EXPECT_GT(names, 300);
}

TEST(SectionKindsTest, NamesThatAreNoRecordSection) {
    const std::vector<ImportKind> kinds = ImportKinds();
    struct Case {
        const char* name;
        bool record;
        bool canonical;
        bool design;
    };
    const Case cases[] = {
        {"Pump03", true, true, false},       {"pump03", true, true, false},
        {"Pump3", true, false, false},       {"Pump003", true, false, false},
        {"Pump123", true, true, false},      {"Client007", true, true, false},
        {"Client07", true, false, false},    {"Client1000", true, true, false},
        {"Pump", false, false, false},       {"Pump1234567890", false, false, false},
        {"Pump-3", false, false, false},     {"Pumps03", false, false, false},
        {"TankGauge05", false, false, true}, {"Application", false, false, true},
        {"03", false, false, false},         {"", false, false, false},
    };
    for (const Case& c : cases) {
        const SectionKind kind = KindOf(c.name, kinds);
        EXPECT_EQ(kind.group != kNoKind, c.record) << c.name;
        EXPECT_EQ(kind.canonical, c.canonical) << c.name;
        EXPECT_EQ(kind.design, c.design) << c.name;
    }
}

}  // namespace
