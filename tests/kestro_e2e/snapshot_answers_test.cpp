// The configuration snapshot against the server it came from: every request of the
// snapshot's calls, ordinals and identifiers out of range and injected faults included, is
// answered from the snapshot byte for byte as kestrod answers it; and libkestro drops the
// snapshot after a setter, so that a client reads its own writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/kestro.h"
#include "kestro/client/configuration_snapshot.h"
#include "kestro/wire/snapshot.h"
#include "tests/kestro_e2e/e2e_support.h"
#include "tests/kestro_server/wire_client.h"

namespace {

using kestro::wire::CallCode;
using kestro::wire::FrameKind;
using kestro::wire::FrameWriter;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kIds[] = {-1, 0, 1, 2, 3, 4, 5, 8, 12, 50, 99, 100, 10000};
constexpr std::int16_t kLevels[] = {-1, 0, 1, 2, 8, 9};
constexpr std::int32_t kDevices[] = {-1, 0, 1, 5, 6, 7};
constexpr std::int32_t kEveryProduct[] = {-1, 0, 0, 0, 0, -1};
constexpr std::int32_t kGroupThree[] = {3, 0, 0, 0, 0, -1};

// Every request of the sweep: each call of the snapshot with in-values drawn from the lists
// above, the product queries with the export's filter and with another one.
std::vector<Bytes> SweepRequests() {
    std::vector<Bytes> requests;
    auto add = [&](CallCode call, auto fill) {
        FrameWriter writer(FrameKind::kRequest, static_cast<std::uint16_t>(call),
                           static_cast<std::uint32_t>(requests.size() + 7));
        fill(writer);
        Bytes frame;
        EXPECT_EQ(writer.Finish(frame), kestro::wire::WireError::kNone);
        requests.push_back(std::move(frame));
    };
    for (CallCode call : kestro::wire::kSnapshotCalls) {
        const bool counts = kestro::wire::IsCountCall(static_cast<std::uint16_t>(call));
        if (call == CallCode::GetProductsCount || call == CallCode::GetProductByOrdinal) {
            for (const auto* filter : {kEveryProduct, kGroupThree}) {
                for (std::int32_t ordinal : kIds) {
                    add(call, [&](FrameWriter& w) {
                        if (call == CallCode::GetProductByOrdinal) {
                            w.AddInt32(ordinal);
                        }
                        for (int i = 0; i < 6; ++i) {
                            w.AddInt32(filter[i]);
                        }
                    });
                }
            }
        } else if (counts && call != CallCode::GetPumpHosesCount) {
            add(call, [](FrameWriter&) {});
        } else {
            for (std::int32_t id : kIds) {
                if (call == CallCode::GetGradePrice) {
                    for (std::int16_t level : kLevels) {
                        add(call, [&](FrameWriter& w) {
                            w.AddInt32(id);
                            w.AddInt16(level);
                        });
                    }
                } else if (call == CallCode::GetDeviceDetails ||
                           call == CallCode::GetPumpHoseByNumber) {
                    for (std::int32_t second : kDevices) {
                        add(call, [&](FrameWriter& w) {
                            w.AddInt32(id);
                            w.AddInt32(second);
                        });
                    }
                } else {
                    add(call, [&](FrameWriter& w) { w.AddInt32(id); });
                }
            }
        }
    }
    return requests;
}

bool OtherProductFilter(const Bytes& request) {
    kestro::wire::FrameReader reader;
    reader.Open(request);
    const CallCode call = static_cast<CallCode>(reader.header().call);
    std::int32_t value = 0;
    if (call == CallCode::GetProductByOrdinal) {
        reader.ReadInt32(value);
    } else if (call != CallCode::GetProductsCount) {
        return false;
    }
    reader.ReadInt32(value);
    return value == 3;
}

Bytes Ask(server_test::WireClient& client, const Bytes& request) {
    Bytes response;
    EXPECT_TRUE(client.Send(request));
    EXPECT_TRUE(client.Receive(response).ok());
    return response;
}

// Takes a snapshot over `client`'s connection; false when the server answered otherwise.
bool TakeSnapshot(server_test::WireClient& client, kestro::client::ConfigurationSnapshot& snapshot,
                  int& frames) {
    FrameWriter writer(FrameKind::kRequest, kestro::wire::kSnapshotCall, 1);
    writer.AddInt32(kestro::wire::kSnapshotRevision);
    Bytes frame;
    writer.Finish(frame);
    if (!client.Send(frame)) {
        return false;
    }
    frames = 0;
    for (bool ended = false; !ended;) {
        if (!client.Receive(frame, 60000).ok()) {  // the sanitizers' build walks slowly
            return false;
        }
        ++frames;
        kestro::wire::FrameHeader header;
        kestro::wire::DecodeHeader(frame, header);
        EXPECT_EQ(header.result, 0);
        EXPECT_EQ(header.sequence, 1u);
        if (header.result != 0 || snapshot.Read(frame, ended) != kestro::wire::WireError::kNone) {
            return false;
        }
    }
    return true;
}

struct SweepCase {
    const char* name;
    const char* station;
    std::vector<std::string> faults;
};

void PrintTo(const SweepCase& sweep, std::ostream* out) {
    *out << sweep.name;
}

class SnapshotAnswers : public testing::TestWithParam<SweepCase> {};

TEST_P(SnapshotAnswers, EveryRequestIsAnsweredAsTheServerAnswersIt) {
    test_support::TempFolder folder;
    std::vector<std::string> options{"--station", GetParam().station};
    for (const std::string& fault : GetParam().faults) {
        options.push_back("--fail");
        options.push_back(fault);
    }
    e2e::Kestrod server(folder, 72, folder.File("station.db"), options);
    ASSERT_TRUE(server.ready());
    server_test::WireClient client(server.address(), 5123);
    ASSERT_EQ(client.LogOn(), 0);

    kestro::client::ConfigurationSnapshot snapshot;
    int frames = 0;
    ASSERT_TRUE(TakeSnapshot(client, snapshot, frames));
    if (std::string(GetParam().station) == "max") {
        EXPECT_GT(frames, 100);  // far beyond one frame's 256 values
    }
    // The connection goes on serving calls after the snapshot's frames (Ask below).
    int fromSnapshot = 0;
    for (const Bytes& request : SweepRequests()) {
        kestro::wire::FrameHeader header;
        kestro::wire::DecodeHeader(request, header);
        const std::optional<Bytes> local = snapshot.Answer(request, header.sequence);
        if (!local) {
            // Only another product filter is the server's to answer (unless a fault is).
            EXPECT_TRUE(OtherProductFilter(request)) << kestro::wire::FindCall(header.call)->name;
            continue;
        }
        EXPECT_EQ(*local, Ask(client, request))
            << kestro::wire::FindCall(header.call)->name << " " << header.sequence;
        ++fromSnapshot;
    }
    EXPECT_GT(fromSnapshot, 500);
}

INSTANTIATE_TEST_SUITE_P(
    Stations, SnapshotAnswers,
    testing::Values(SweepCase{"Sample", "sample", {}},
                    SweepCase{"SampleWithFaults",
                              "sample",
                              {"GetTankPropertiesEx2:2=7", "GetDeviceDetails=9",
                               "GetGradePrice:3=6", "GetPortByOrdinal:100=11", "GetProductsCount=8",
                               "GetPumpHoseByNumber:2=13"}},
                    SweepCase{"Maximal", "max", {}}),
    [](const testing::TestParamInfo<SweepCase>& info) { return std::string(info.param.name); });

TEST(SnapshotAnswers, WithoutALogonTheServerRefusesTheSnapshot) {
    test_support::TempFolder folder;
    e2e::Kestrod server(folder, 72, folder.File("station.db"));
    ASSERT_TRUE(server.ready());
    server_test::WireClient client(server.address(), 5123);
    FrameWriter writer(FrameKind::kRequest, kestro::wire::kSnapshotCall, 9);
    writer.AddInt32(kestro::wire::kSnapshotRevision);
    Bytes frame;
    writer.Finish(frame);
    const Bytes answer = Ask(client, frame);
    kestro::wire::FrameHeader header;
    ASSERT_EQ(kestro::wire::DecodeHeader(answer, header), kestro::wire::WireError::kNone);
    EXPECT_EQ(header.result, 4);  // kNotLoggedOn
    EXPECT_EQ(header.payloadLength, 0u);
}

TEST(SnapshotAnswers, ARevisionTheServerDoesNotKnowIsNotServed) {
    test_support::TempFolder folder;
    e2e::Kestrod server(folder, 72, folder.File("station.db"));
    ASSERT_TRUE(server.ready());
    server_test::WireClient client(server.address(), 5123);
    ASSERT_EQ(client.LogOn(), 0);
    FrameWriter writer(FrameKind::kRequest, kestro::wire::kSnapshotCall, 9);
    writer.AddInt32(kestro::wire::kSnapshotRevision + 1);
    Bytes frame;
    writer.Finish(frame);
    kestro::wire::FrameHeader header;
    ASSERT_EQ(kestro::wire::DecodeHeader(Ask(client, frame), header),
              kestro::wire::WireError::kNone);
    EXPECT_EQ(header.result, kestro::wire::kResultCallNotServed);
}

// libkestro itself: reads after a setter on the same connection see the write; reads of a
// walk do not see another client's writes; a new count starts a new walk that does.
TEST(SnapshotAnswers, TheLibraryDropsItsSnapshotAfterASetterAndOnANewWalk) {
    test_support::TempFolder folder;
    e2e::Kestrod server(folder, 72, folder.File("station.db"));
    ASSERT_TRUE(server.ready());
    BSTR address = SysAllocStringLen(nullptr, static_cast<UINT>(server.address().size()));
    std::copy(server.address().begin(), server.address().end(), address);
    ASSERT_EQ(ClientLogonEx(1, 5, address, 5123, 5124, 10000, 0, 0, 1024), 0);
    SysFreeString(address);

    std::int32_t grades = 0;
    ASSERT_EQ(GetGradesCount(&grades), 0);
    std::int32_t gradeId = 0;
    ASSERT_EQ(GetGradeByOrdinal(1, &gradeId), 0);
    auto nameOf = [](std::int32_t grade) {
        std::int32_t number = 0;
        std::int16_t type = 0;
        BSTR name = nullptr, shortName = nullptr, code = nullptr;
        EXPECT_EQ(GetGradePropertiesEx(grade, &number, &name, &shortName, &code, &type), 0);
        std::u16string text(name, SysStringLen(name));
        SysFreeString(name);
        SysFreeString(shortName);
        SysFreeString(code);
        return text;
    };
    const std::u16string before = nameOf(gradeId);

    // Another client renames the grade: this walk still reads the name it started with.
    server_test::WireClient other(server.address(), 5123);
    ASSERT_EQ(other.LogOn(), 0);
    BSTR renamed = SysAllocString(u"Renamed elsewhere");
    BSTR empty = SysAllocString(u"");
    ASSERT_EQ(other.Call<CallCode::SetGradePropertiesEx>(gradeId, std::int32_t{1}, renamed, empty,
                                                         empty, std::int16_t{0}),
              0);
    EXPECT_EQ(nameOf(gradeId), before);
    // A new walk begins with its count and sees the other client's write.
    ASSERT_EQ(GetGradesCount(&grades), 0);
    EXPECT_EQ(nameOf(gradeId), u"Renamed elsewhere");

    // A write of its own is seen at once.
    BSTR mine = SysAllocString(u"Renamed here");
    ASSERT_EQ(SetGradePropertiesEx(gradeId, 1, mine, empty, empty, 0), 0);
    EXPECT_EQ(nameOf(gradeId), u"Renamed here");
    std::int32_t newGrades = 0;
    ASSERT_EQ(SetGradePropertiesEx(98, 98, mine, empty, empty, 0), 0);
    ASSERT_EQ(GetGradesCount(&newGrades), 0);
    EXPECT_EQ(newGrades, grades + 1);
    SysFreeString(mine);
    SysFreeString(renamed);
    SysFreeString(empty);
    EXPECT_EQ(ClientLogoff(), 0);
}

}  // namespace
