// The Kestro station model's 16-bit text on Windows, where WCHAR is wchar_t: its literals hold
// UTF-16 units, and the in-process flat interface hands the station's texts out and takes
// them in through oleaut32's BSTRs with every unit kept.
#include <gtest/gtest.h>

#include <string>

#include "client/kestro.h"
#include "kestro/inproc/current_station.h"
#include "kestro/model/call_record.h"
#include "kestro/model/result_codes.h"
#include "kestro/model/station_generators.h"
#include "platform/bstr.h"
#include "platform/text_conversion.h"

namespace {

using kestro::ScopedStation;
using kestro::Station;

struct LiteralCase {
    const char* name;
    WideStringView units;
    std::size_t length;
    const char* utf8;
};

// The sample station's names carry Latin-1 letters; a character past U+FFFF takes two units.
TEST(WideLiteralTest, LiteralsAreUtf16Units) {
    const LiteralCase cases[] = {
        {"ASCII", WSTR("Pump 7"), 6, "Pump 7"},
        {"Latin-1", WSTR("Óleo"), 4, "\xC3\x93leo"},
        {"euro", OLESTR("€ 5"), 3, "\xE2\x82\xAC 5"},
        {"surrogate pair", WSTR("\U0001F600"), 2, "\xF0\x9F\x98\x80"},
    };
    for (const LiteralCase& c : cases) {
        EXPECT_EQ(c.units.size(), c.length) << c.name;
        EXPECT_EQ(Utf16ToUtf8(c.units), c.utf8) << c.name;
    }
    EXPECT_EQ(WSTR('"'), 0x22);
    EXPECT_EQ(WSTR('\0'), 0);
}

class InprocTextTest : public testing::Test {
  protected:
    void SetUp() override {
        Bstr server = Bstr::FromUtf16(OLESTR("127.0.0.1"));
        ASSERT_EQ(ClientLogonEx(110, 5, server.Get(), 5123, 5124, 10000, 0, 0, 1024),
                  kestro::kSuccess);
    }

    Station station{kestro::SampleStation()};
    ScopedStation use{station};
};

TEST_F(InprocTextTest, GettersHandOutTheStationsAccentedNames) {
    std::int32_t number = 0;
    std::int16_t gradeType = 0;
    Bstr name, shortName, code;
    ASSERT_EQ(GetGradePropertiesEx(4, &number, name.Out(), shortName.Out(), code.Out(), &gradeType),
              kestro::kSuccess);
    EXPECT_EQ(name.Length(), 15u);
    EXPECT_EQ(name.Utf8(), "\xC3\x93leo Diesel S10");
    EXPECT_EQ(shortName.Utf8(), "S10");
    EXPECT_EQ(code.Utf8(), "D10");
}

// A BSTR's length prefix decides, so an embedded zero and a surrogate pair survive the trip
// into the station and back, and the call record shows each unit.
TEST_F(InprocTextTest, SetterKeepsEveryUnitOfItsBstrs) {
    const WideString units(WSTR("A\0\u20ac\U0001F600\"\\"), 7);
    Bstr name = Bstr::FromUtf16(units);
    Bstr shortName = Bstr::FromUtf16(WSTR("X"));
    ASSERT_EQ(SetGradePropertiesEx(4, 9, name.Get(), shortName.Get(), nullptr, 1),
              kestro::kSuccess);
    EXPECT_EQ(kestro::Describe(station.Calls().back()),
              "SetGradePropertiesEx(4, 9, u\"A\\x{0}\\x{20ac}\\x{d83d}\\x{de00}\\x{22}\\x{5c}\", "
              "u\"X\", u\"\", (short)1)");

    std::int32_t number = 0;
    std::int16_t gradeType = 0;
    Bstr readName, readShortName, readCode;
    ASSERT_EQ(GetGradePropertiesEx(4, &number, readName.Out(), readShortName.Out(), readCode.Out(),
                                   &gradeType),
              kestro::kSuccess);
    EXPECT_EQ(readName.View(), units);
    EXPECT_EQ(readShortName.View(), WideStringView(WSTR("X")));
    EXPECT_EQ(readCode.Length(), 0u);  // a null BSTR is stored as the empty text
    EXPECT_EQ(number, 9);
}

TEST_F(InprocTextTest, ResultAndVersionTexts) {
    const struct {
        std::int32_t code;
        const char* text;
    } cases[] = {
        {kestro::kSuccess, "success"},
        {kestro::kTimeOut, "time-out"},
        {kestro::kWrongPumpState, "the pump's state does not allow this command"},
        {12345, "unknown result code 12345"},
    };
    for (const auto& c : cases) {
        Bstr text;
        ASSERT_EQ(ResultString(c.code, text.Out()), kestro::kSuccess) << c.code;
        EXPECT_EQ(text.Utf8(), c.text) << c.code;
    }
    Bstr version;
    ASSERT_EQ(ServerVersion(version.Out()), kestro::kSuccess);
    EXPECT_EQ(version.Utf8(), "Kestro station model 4.2.1");
}

}  // namespace
