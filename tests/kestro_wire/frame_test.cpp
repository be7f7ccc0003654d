// Tests of the Kestro frame format: the exact byte layout, round trips of every value type at
// its boundaries, and the decoder's refusal of truncated, corrupted, oversized and random
// input.
#include "kestro/wire/frame.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/kestro_wire/wire_printers.h"

namespace {

using kestro::wire::DecodeHeader;
using kestro::wire::FrameHeader;
using kestro::wire::FrameKind;
using kestro::wire::FrameReader;
using kestro::wire::FrameWriter;
using kestro::wire::kHeaderBytes;
using kestro::wire::kMaxStringUnits;
using kestro::wire::kMaxValueCount;
using kestro::wire::ValueTag;
using kestro::wire::WireError;
using Bytes = std::vector<std::uint8_t>;

Bytes Finished(FrameWriter& writer) {
    Bytes frame;
    EXPECT_EQ(writer.Finish(frame), WireError::kNone);
    return frame;
}

// One frame with a value of every type, strings of every shape among them.
Bytes FrameWithEveryType() {
    FrameWriter writer(FrameKind::kRequest, 33, 9);
    writer.AddInt16(-2);
    writer.AddInt32(70000);
    writer.AddInt64(-5000000000);
    writer.AddDouble(0.1);
    writer.AddString(u"Posto S\u00e3o Jo\u00e3o");
    writer.AddNullString();
    writer.AddString(u"");
    return Finished(writer);
}

void PutLittle32(Bytes& frame, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        frame[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Reads every value of an opened frame by its tag; false when any read fails.
bool ReadsAllValues(FrameReader& reader) {
    while (std::optional<ValueTag> tag = reader.PeekTag()) {
        WireError error = WireError::kNone;
        switch (*tag) {
            case ValueTag::kInt16: {
                std::int16_t v;
                error = reader.ReadInt16(v);
                break;
            }
            case ValueTag::kInt32: {
                std::int32_t v;
                error = reader.ReadInt32(v);
                break;
            }
            case ValueTag::kInt64: {
                std::int64_t v;
                error = reader.ReadInt64(v);
                break;
            }
            case ValueTag::kDouble: {
                double v;
                error = reader.ReadDouble(v);
                break;
            }
            case ValueTag::kString:
            case ValueTag::kNullString: {
                std::optional<std::u16string> v;
                error = reader.ReadString(v);
                break;
            }
        }
        if (error != WireError::kNone) {
            return false;
        }
    }
    return reader.remaining() == 0;
}

TEST(FrameLayout, BytesAreLittleEndianWithTheDocumentedOffsets) {
    FrameWriter writer(FrameKind::kResponse, 12, 0x01020304, -2);
    writer.AddInt16(-2);
    writer.AddString(u"\u00e9\u20ac");
    writer.AddNullString();
    writer.AddDouble(1.0);
    const Bytes expected = {
        'K',  'S',  'T',  'R',  0x01, 0x00, 0x02, 0x00,  // magic, version 1, response, reserved
        0x0C, 0x00, 0x04, 0x00,                          // call 12, 4 values
        0x04, 0x03, 0x02, 0x01,                          // sequence
        0xFE, 0xFF, 0xFF, 0xFF,                          // result -2
        0x16, 0x00, 0x00, 0x00,                          // payload of 22 bytes
        0x01, 0xFE, 0xFF,                                // i16 -2
        0x05, 0x02, 0x00, 0x00, 0x00, 0xE9, 0x00, 0xAC, 0x20,  // string of 2 units
        0x06,                                                  // null string
        0x04, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F,  // double 1.0
    };
    EXPECT_EQ(Finished(writer), expected);
}

TEST(FrameLayout, HeaderFieldsRoundTrip) {
    FrameWriter writer(FrameKind::kEvent, 0xFFFF, 0xFFFFFFFF, std::numeric_limits<int>::min());
    writer.AddInt32(1);
    Bytes frame = Finished(writer);
    FrameReader reader;
    ASSERT_EQ(reader.Open(frame), WireError::kNone);
    EXPECT_EQ(reader.header().kind, FrameKind::kEvent);
    EXPECT_EQ(reader.header().call, 0xFFFF);
    EXPECT_EQ(reader.header().sequence, 0xFFFFFFFFu);
    EXPECT_EQ(reader.header().result, std::numeric_limits<int>::min());
    EXPECT_EQ(reader.header().valueCount, 1);
    EXPECT_EQ(reader.header().payloadLength, 5u);
    EXPECT_EQ(reader.remaining(), 1u);
}

TEST(FrameValues, IntegersRoundTripAtTheirBoundaries) {
    const std::int16_t shorts[] = {INT16_MIN, -1, 0, 1, INT16_MAX};
    const std::int32_t ints[] = {INT32_MIN, -1, 0, 0x12345678, INT32_MAX};
    const std::int64_t longs[] = {INT64_MIN, -1, 0, 0x0102030405060708, INT64_MAX};
    FrameWriter writer(FrameKind::kRequest, 1, 1);
    for (std::int16_t v : shorts)
        writer.AddInt16(v);
    for (std::int32_t v : ints)
        writer.AddInt32(v);
    for (std::int64_t v : longs)
        writer.AddInt64(v);
    Bytes frame = Finished(writer);

    FrameReader reader;
    ASSERT_EQ(reader.Open(frame), WireError::kNone);
    for (std::int16_t expected : shorts) {
        std::int16_t v = 7;
        ASSERT_EQ(reader.ReadInt16(v), WireError::kNone);
        EXPECT_EQ(v, expected);
    }
    for (std::int32_t expected : ints) {
        std::int32_t v = 7;
        ASSERT_EQ(reader.ReadInt32(v), WireError::kNone);
        EXPECT_EQ(v, expected);
    }
    for (std::int64_t expected : longs) {
        std::int64_t v = 7;
        ASSERT_EQ(reader.ReadInt64(v), WireError::kNone);
        EXPECT_EQ(v, expected);
    }
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(FrameValues, DoublesKeepEveryBitIncludingNaNPayloadsAndSignedZero) {
    const double doubles[] = {
        0.0,
        -0.0,
        0.1,
        -1e300,
        std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
        std::bit_cast<double>(std::uint64_t{0x7FF0000000000123}),  // signalling NaN, payload
    };
    FrameWriter writer(FrameKind::kRequest, 1, 1);
    for (double v : doubles)
        writer.AddDouble(v);
    Bytes frame = Finished(writer);

    FrameReader reader;
    ASSERT_EQ(reader.Open(frame), WireError::kNone);
    for (double expected : doubles) {
        double v = 7;
        ASSERT_EQ(reader.ReadDouble(v), WireError::kNone);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(expected));
    }
}

TEST(FrameValues, StringsKeepEveryUnitAndNullStaysApartFromEmpty) {
    const std::u16string longest(kMaxStringUnits, u'\u00ff');
    const std::optional<std::u16string> strings[] = {
        std::nullopt,
        u"",
        std::u16string(1, u'\0'),
        std::u16string(u"a\0b\0", 4),
        u"S\u00e3o \u20ac \U0001F600",                    // above 0xFF, a surrogate pair
        std::u16string{u'\xD800', u'\xFFFF', u'\x0100'},  // a lone surrogate and odd units
        std::nullopt,
        longest,
    };
    FrameWriter writer(FrameKind::kResponse, 1, 1);
    for (const auto& s : strings) {
        if (s) {
            writer.AddString(*s);
        } else {
            writer.AddNullString();
        }
    }
    Bytes frame = Finished(writer);

    FrameReader reader;
    ASSERT_EQ(reader.Open(frame), WireError::kNone);
    for (const auto& expected : strings) {
        ASSERT_EQ(reader.PeekTag(), expected ? ValueTag::kString : ValueTag::kNullString);
        std::optional<std::u16string> v = u"sentinel";
        ASSERT_EQ(reader.ReadString(v), WireError::kNone);
        EXPECT_EQ(v, expected);
    }
    EXPECT_EQ(reader.PeekTag(), std::nullopt);
}

TEST(FrameReading, WrongTypeOrEndLeavesTheValueAndPositionUntouched) {
    Bytes frame = FrameWithEveryType();
    FrameReader reader;
    ASSERT_EQ(reader.Open(frame), WireError::kNone);
    std::int32_t wrong = 99;
    EXPECT_EQ(reader.ReadInt32(wrong), WireError::kTypeMismatch);  // the first is an i16
    EXPECT_EQ(wrong, 99);
    std::optional<std::u16string> text = u"kept";
    EXPECT_EQ(reader.ReadString(text), WireError::kTypeMismatch);
    EXPECT_EQ(text, u"kept");
    std::int16_t first = 0;
    EXPECT_EQ(reader.ReadInt16(first), WireError::kNone);
    EXPECT_EQ(first, -2);
    ASSERT_TRUE(ReadsAllValues(reader));
    std::int16_t past = 5;
    EXPECT_EQ(reader.ReadInt16(past), WireError::kNoMoreValues);
    EXPECT_EQ(reader.ReadString(text), WireError::kNoMoreValues);
    EXPECT_EQ(past, 5);
}

TEST(FrameReading, EveryTruncationIsRefused) {
    Bytes frame = FrameWithEveryType();
    for (std::size_t length = 0; length < frame.size(); ++length) {
        Bytes cut(frame.begin(), frame.begin() + length);
        FrameReader reader;
        EXPECT_EQ(reader.Open(cut), WireError::kTruncated) << "length " << length;
        std::int16_t v = 3;
        EXPECT_EQ(reader.ReadInt16(v), WireError::kNoMoreValues);
        FrameHeader header;
        if (length < kHeaderBytes) {
            EXPECT_EQ(DecodeHeader(cut, header), WireError::kTruncated);
        }
    }
}

TEST(FrameReading, APayloadCutShortUnderAConsistentLengthIsRefused) {
    // The length field agrees with the buffer, but the values do not fit in it.
    Bytes frame = FrameWithEveryType();
    for (std::size_t payload = 0; payload < frame.size() - kHeaderBytes; ++payload) {
        Bytes cut(frame.begin(), frame.begin() + kHeaderBytes + payload);
        PutLittle32(cut, 20, static_cast<std::uint32_t>(payload));
        FrameReader reader;
        WireError error = reader.Open(cut);
        EXPECT_TRUE(error == WireError::kValueOverrun || error == WireError::kValueCountMismatch)
            << "payload " << payload << ": " << kestro::wire::WireErrorText(error);
    }
}

TEST(FrameReading, CorruptedHeadersAndPayloadsAreRefusedWithTheirReason) {
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint8_t byte;
        WireError expected;
    };
    // FrameWithEveryType's values start at 24 (i16), 27 (i32) and end with the empty string
    // at 84.
    const Case cases[] = {
        {"magic", 0, 'k', WireError::kBadMagic},
        {"magic last byte", 3, 'S', WireError::kBadMagic},
        {"version 0", 4, 0, WireError::kBadVersion},
        {"version 2", 4, 2, WireError::kBadVersion},
        {"version high byte", 5, 1, WireError::kBadVersion},
        {"kind 0", 6, 0, WireError::kBadKind},
        {"kind 4", 6, 4, WireError::kBadKind},
        {"reserved", 7, 1, WireError::kBadReserved},
        {"count above the bound", 11, 0x01, WireError::kTooManyValues},  // 256 + 7
        {"count one less", 10, 6, WireError::kValueCountMismatch},
        {"count one more", 10, 8, WireError::kValueCountMismatch},
        {"length above the bound", 22, 0x10, WireError::kFrameTooLarge},
        {"length high byte", 23, 0x80, WireError::kFrameTooLarge},
        {"tag 0", 24, 0, WireError::kBadTag},
        {"tag 7", 24, 7, WireError::kBadTag},
        {"tag 255", 27, 0xFF, WireError::kBadTag},
        {"last value retagged as i64 runs past the end", 84, 3, WireError::kValueOverrun},
    };
    for (const Case& c : cases) {
        Bytes frame = FrameWithEveryType();
        frame[c.offset] = c.byte;
        FrameReader reader;
        EXPECT_EQ(reader.Open(frame), c.expected) << c.what;
    }
}

TEST(FrameReading, StringLengthsBeyondTheBoundOrThePayloadAreRefused) {
    FrameWriter writer(FrameKind::kRequest, 1, 1);
    writer.AddString(u"abc");
    Bytes frame = Finished(writer);
    const std::size_t lengthAt = kHeaderBytes + 1;

    Bytes tooLong = frame;
    PutLittle32(tooLong, lengthAt, kMaxStringUnits + 1);
    FrameReader reader;
    EXPECT_EQ(reader.Open(tooLong), WireError::kStringTooLong);

    Bytes huge = frame;
    PutLittle32(huge, lengthAt, 0xFFFFFFFF);
    EXPECT_EQ(reader.Open(huge), WireError::kStringTooLong);

    Bytes overrun = frame;
    PutLittle32(overrun, lengthAt, 4);
    EXPECT_EQ(reader.Open(overrun), WireError::kValueOverrun);

    Bytes shorter = frame;
    PutLittle32(shorter, lengthAt, 2);  // leaves two bytes after the last value
    EXPECT_EQ(reader.Open(shorter), WireError::kValueCountMismatch);
}

TEST(FrameReading, BytesAfterTheFrameAreRefused) {
    Bytes frame = FrameWithEveryType();
    frame.push_back(0);
    FrameReader reader;
    EXPECT_EQ(reader.Open(frame), WireError::kTrailingBytes);
}

TEST(FrameReading, OpenForgetsThePreviousFrameOnFailure) {
    Bytes good = FrameWithEveryType();
    FrameReader reader;
    ASSERT_EQ(reader.Open(good), WireError::kNone);
    Bytes bad = good;
    bad[0] = 0;
    EXPECT_EQ(reader.Open(bad), WireError::kBadMagic);
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_EQ(reader.PeekTag(), std::nullopt);
}

TEST(FrameWriting, BoundsMakeTheWriterFailAndLeaveTheOutputAlone) {
    FrameWriter many(FrameKind::kRequest, 1, 1);
    for (std::size_t i = 0; i < kMaxValueCount; ++i) {
        many.AddNullString();
    }
    EXPECT_EQ(many.error(), WireError::kNone);
    many.AddInt16(1);
    Bytes frame = {1, 2, 3};
    EXPECT_EQ(many.Finish(frame), WireError::kTooManyValues);
    EXPECT_EQ(frame, (Bytes{1, 2, 3}));

    FrameWriter longString(FrameKind::kRequest, 1, 1);
    longString.AddString(std::u16string(kMaxStringUnits + 1, u'x'));
    EXPECT_EQ(longString.Finish(frame), WireError::kStringTooLong);

    // Eight strings of the longest length overflow a 1 MiB frame; the error sticks.
    FrameWriter large(FrameKind::kRequest, 1, 1);
    const std::u16string longest(kMaxStringUnits, u'x');
    for (int i = 0; i < 7; ++i) {
        large.AddString(longest);
    }
    EXPECT_EQ(large.error(), WireError::kNone);
    large.AddString(longest);
    EXPECT_EQ(large.error(), WireError::kFrameTooLarge);
    large.AddInt16(1);
    EXPECT_EQ(large.Finish(frame), WireError::kFrameTooLarge);
    EXPECT_EQ(frame, (Bytes{1, 2, 3}));
}

TEST(FrameWriting, TheLargestFrameWithinTheBoundIsReadBack) {
    FrameWriter writer(FrameKind::kResponse, 1, 1);
    const std::u16string longest(kMaxStringUnits, u'\u20ac');
    for (int i = 0; i < 7; ++i) {
        writer.AddString(longest);
    }
    Bytes frame = Finished(writer);
    FrameReader reader;
    ASSERT_EQ(reader.Open(frame), WireError::kNone);
    EXPECT_TRUE(ReadsAllValues(reader));
}

TEST(FrameWriting, FinishStartsOverWithTheSameHeader) {
    FrameWriter writer(FrameKind::kRequest, 5, 6);
    writer.AddInt32(1);
    Bytes first = Finished(writer);
    Bytes second = Finished(writer);
    FrameReader reader;
    ASSERT_EQ(reader.Open(second), WireError::kNone);
    EXPECT_EQ(reader.header().call, 5);
    EXPECT_EQ(reader.header().sequence, 6u);
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_EQ(second.size(), kHeaderBytes);
    EXPECT_EQ(first.size(), kHeaderBytes + 5);
}

// Random input, half of it behind a plausible header, and random corruptions of a good
// frame: the decoder either refuses or yields a frame whose every value reads back.
TEST(FrameReading, RandomAndMutatedBytesNeverBreakTheDecoder) {
    std::mt19937 random(20240601);
    const Bytes good = FrameWithEveryType();
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes;
        if (round % 3 == 2) {
            bytes = good;
            int flips = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < flips; ++i) {
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            }
        } else {
            bytes.resize(random() % 96);
            for (auto& b : bytes) {
                b = static_cast<std::uint8_t>(random());
            }
            if (round % 3 == 1 && bytes.size() >= kHeaderBytes) {
                const std::uint8_t plausible[] = {'K', 'S', 'T', 'R', 1, 0, 1, 0};
                std::copy(std::begin(plausible), std::end(plausible), bytes.begin());
                bytes[11] = 0;
                PutLittle32(bytes, 20, static_cast<std::uint32_t>(bytes.size() - kHeaderBytes));
            }
        }
        FrameReader reader;
        if (reader.Open(bytes) == WireError::kNone) {
            ++accepted;
            EXPECT_TRUE(ReadsAllValues(reader)) << "round " << round;
        }
    }
    // Some mutations only change values, so a few frames must still be accepted.
    EXPECT_GT(accepted, 0);
}

}  // namespace
