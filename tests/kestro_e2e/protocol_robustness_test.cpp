// kestrod against clients that send random bytes, frames cut short and frames with a
// corrupted byte: each such connection is closed (or its request refused) and logged, while
// a well-formed client connected all along goes on being served, and brenkar exports after.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <random>

#include "kestro/wire/marshal.h"
#include "tests/kestro_e2e/e2e_support.h"
#include "tests/kestro_server/wire_client.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kestro::wire::CallCode;

// A well-formed request with texts, integers and doubles, to be cut or corrupted.
Bytes ARequest() {
    BSTR name = SysAllocString(u"Bomba 1 \u00e1");
    Bytes frame;
    kestro::wire::Marshal<CallCode::SetPumpPropertiesEx>::EncodeRequest(
        7, frame, 1, 1, name, 1, 1, 1, 1, 2, 1, 10, 10, 4, 1, -1, 1, 1, 1, 1, 0, -1, 1, 0);
    SysFreeString(name);
    return frame;
}

std::int32_t PortsCount(server_test::WireClient& client) {
    std::int32_t count = -1;
    return client.Call<CallCode::GetPortsCount>(&count) == 0 ? count : -1;
}

TEST(ProtocolRobustness, BadFramesHarmNeitherTheServerNorItsOtherClients) {
    test_support::TempFolder folder("e2e_robust");
    e2e::Kestrod server(folder, 55, "station.db", {"--station", "sample"});
    ASSERT_TRUE(server.ready());
    server_test::WireClient steady(server.address(), 5123);
    ASSERT_EQ(steady.LogOn(), 0);

    const unsigned seed = 20260601;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const Bytes request = ARequest();
    int closedByServer = 0;
    for (int round = 0; round < 300; ++round) {
        server_test::WireClient bad(server.address(), 5123);
        ASSERT_TRUE(bad.connected());
        Bytes bytes;
        switch (round % 3) {
            case 0:  // random bytes
                bytes.resize(1 + random() % 200);
                for (std::uint8_t& byte : bytes) {
                    byte = static_cast<std::uint8_t>(random());
                }
                break;
            case 1:  // a frame cut short
                bytes.assign(request.begin(),
                             request.begin() + static_cast<long>(random() % request.size()));
                break;
            default:  // one corrupted byte
                bytes = request;
                bytes[random() % bytes.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
                break;
        }
        ASSERT_TRUE(bad.Send(bytes));
        shutdown(bad.socket().descriptor(), SHUT_WR);
        // The server answers what it can (a refused request, not logged on) and closes.
        Bytes answer;
        kestro::wire::IoResult result = bad.Receive(answer, 5000);
        while (result.ok()) {
            result = bad.Receive(answer, 5000);
        }
        EXPECT_EQ(result.status, kestro::wire::IoStatus::kClosed) << "round " << round;
        closedByServer += result.status == kestro::wire::IoStatus::kClosed;
        if (round % 50 == 0) {
            ASSERT_EQ(PortsCount(steady), 6) << "round " << round;
        }
    }
    EXPECT_EQ(closedByServer, 300);
    EXPECT_EQ(PortsCount(steady), 6);
    ASSERT_TRUE(server.process().running());

    e2e::Run run = e2e::RunBrenkar(folder, {"EXPORT", "after.ini", server.address()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.ends_with("\nAll done.\n")) << run.output;
    EXPECT_EQ(server.Stop(), 0);
    const std::string log = server.Log();
    EXPECT_NE(log.find("closed: malformed frame: bad magic"), std::string::npos);
    EXPECT_NE(log.find("closed: connection closed by the peer in the middle of a frame"),
              std::string::npos);
}

}  // namespace
