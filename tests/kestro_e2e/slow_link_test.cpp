// brenkar across latency-link: the maximal station's export carried through the link is the
// file a direct export writes, in the handful of requests of one snapshot; and the link
// ends by itself when its time is up.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/kestro_e2e/e2e_support.h"

namespace {

using e2e::ChildProcess;
using e2e::Kestrod;
using e2e::RunBrenkar;
using test_support::TempFolder;

std::string WithoutDateLine(const std::string& text) {
    const std::size_t at = text.find("DateGenerated=");
    return at == std::string::npos ? text : text.substr(0, at) + text.substr(text.find('\n', at));
}

TEST(SlowLink, TheMaximalStationCrossesItWholeInOneSnapshot) {
    TempFolder folder("e2e_slow_link");
    Kestrod server(folder, 73, "max.db", {"--station", "max"});
    ASSERT_TRUE(server.ready());
    const std::string linkAddress = server.address() + "0";
    ChildProcess link({LATENCY_LINK_PROGRAM, "--listen", linkAddress + ":5123", "--to",
                       server.address() + ":5123", "--delay", "5", "--for", "100"},
                      folder.path(), folder.File("link.out"), folder.File("link.err"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return link.Output().find("listening") != std::string::npos; },
                               e2e::kRunLimit))
        << link.Errors();
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "direct.ini", server.address()}).exitCode, 0);
    const e2e::Run slow = RunBrenkar(folder, {"EXPORT", "slow.ini", linkAddress});
    ASSERT_EQ(slow.exitCode, 0) << slow.output;
    EXPECT_EQ(WithoutDateLine(e2e::ReadFile(folder.File("slow.ini"))),
              WithoutDateLine(e2e::ReadFile(folder.File("direct.ini"))));
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_NE(server.Log().find("connection 2 closed by the client (5 requests served)"),
              std::string::npos)
        << server.Log();
}

TEST(SlowLink, TheLinkEndsByItselfWhenItsTimeIsUp) {
    TempFolder folder("e2e_slow_link_end");
    ChildProcess link({LATENCY_LINK_PROGRAM, "--listen", "127.0.73.99:5123", "--to",
                       "127.0.73.98:5123", "--delay", "10", "--for", "0.5"},
                      folder.path(), folder.File("link.out"), folder.File("link.err"));
    ASSERT_TRUE(link.Wait(std::chrono::seconds(20)).has_value()) << "latency-link runs on";
    EXPECT_EQ(link.exitCode(), 0) << link.Errors();
}

TEST(SlowLink, BadOptionsAreRefusedWithTheUsage) {
    TempFolder folder("e2e_slow_link_usage");
    for (const std::vector<std::string>& options : std::vector<std::vector<std::string>>{
             {"--listen", "127.0.73.99", "--to", "127.0.73.98:5123", "--delay", "1", "--for", "1"},
             {"--listen", "127.0.73.99:5123", "--to", "127.0.73.98:5123", "--delay", "-1", "--for",
              "1"},
             {"--listen", "127.0.73.99:5123", "--to", "127.0.73.98:5123", "--delay", "1"},
             {"--listen", "127.0.73.99:5123", "--to", "127.0.73.98:70000", "--delay", "1", "--for",
              "1"}}) {
        std::vector<std::string> command{LATENCY_LINK_PROGRAM};
        command.insert(command.end(), options.begin(), options.end());
        ChildProcess link(command, folder.path(), folder.File("link.out"), folder.File("link.err"));
        ASSERT_TRUE(link.Wait(std::chrono::seconds(20)).has_value());
        EXPECT_EQ(link.exitCode(), 2) << options[1] << " " << options[5];
        EXPECT_NE(link.Errors().find("Usage: latency-link"), std::string::npos);
    }
}

}  // namespace
