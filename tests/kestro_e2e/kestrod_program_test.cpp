// kestrod as a program: its usage and option errors, a database or an address it cannot
// use, and a clean stop on SIGTERM and SIGINT with clients still connected.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "kestro/model/result_codes.h"
#include "tests/kestro_e2e/e2e_support.h"
#include "tests/kestro_server/wire_client.h"

namespace {

using e2e::ChildProcess;
using e2e::Kestrod;
using test_support::TempFolder;

bool Exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

struct Ended {
    int exitCode;
    std::string output;
    std::string errors;
};

// Runs kestrod with `arguments` in `folder` and waits for it to end.
Ended RunKestrod(const TempFolder& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{e2e::kKestrod};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ChildProcess kestrod(command, folder.path(), folder.File("run.out"), folder.File("run.err"));
    EXPECT_TRUE(kestrod.Wait(e2e::kRunLimit).has_value()) << "kestrod did not end";
    return {kestrod.exitCode(), kestrod.Output(), kestrod.Errors()};
}

TEST(KestrodProgram, HelpAndBadOptions) {
    TempFolder folder("e2e_options");
    Ended help = RunKestrod(folder, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.starts_with(
        "Usage: kestrod [--listen ADDRESS] [--call-port N] [--events-port N] [--db FILE]\n"));
    EXPECT_EQ(help.errors, "");

    Ended bad = RunKestrod(folder, {"--call-port", "x"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.errors,
              "kestrod: --call-port needs a port number from 0 to 65535, not 'x'\n"
              "Try 'kestrod --help'.\n");
    EXPECT_FALSE(Exists(folder.File("kestrod.db")));
}

TEST(KestrodProgram, ADatabaseItCannotOpenEndsIt) {
    TempFolder folder("e2e_nodb");
    const std::string path = folder.File("missing/station.db");
    Ended run = RunKestrod(folder, {"--listen", "127.0.50.1", "--db", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors, "kestrod: cannot open the station database " + path + ": the folder " +
                              folder.File("missing") +
                              " cannot be written (No such file or directory)\n");
}

TEST(KestrodProgram, AnAddressOrADatabaseInUseEndsASecondServer) {
    TempFolder folder("e2e_in_use");
    Kestrod first(folder, 51, "first.db");
    ASSERT_TRUE(first.ready());
    Ended sameAddress = RunKestrod(folder, {"--listen", first.address(), "--db", "second.db"});
    EXPECT_EQ(sameAddress.exitCode, 1);
    EXPECT_NE(sameAddress.errors.find("kestrod: cannot listen on " + first.address() +
                                      " port 5123: system error: Address already in use\n"),
              std::string::npos)
        << sameAddress.errors;
    // The database it created for this start is gone again.
    EXPECT_NE(sameAddress.errors.find("kestrod: removed second.db, created for this start\n"),
              std::string::npos)
        << sameAddress.errors;
    EXPECT_FALSE(Exists(folder.File("second.db")));
    EXPECT_FALSE(Exists(folder.File("second.db-wal")));

    Ended sameDatabase = RunKestrod(folder, {"--listen", "127.0.52.1", "--db", "first.db"});
    EXPECT_EQ(sameDatabase.exitCode, 1);
    EXPECT_EQ(sameDatabase.errors,
              "kestrod: cannot open the station database first.db: the database is in use by "
              "another server\n");
    EXPECT_EQ(first.Stop(), 0);
}

TEST(KestrodProgram, IdleConnectionsLockNoOneOut) {
    TempFolder folder("e2e_idle");
    Kestrod server(folder, 56, "idle.db");
    ASSERT_TRUE(server.ready());
    // 100 connections that never log on: 64 take every place, the rest are closed at once.
    std::vector<std::unique_ptr<server_test::WireClient>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<server_test::WireClient>(server.address(), 5123));
    }
    // Within the logon time-out of 5 s the places are free again and an export runs through.
    const auto start = std::chrono::steady_clock::now();
    e2e::Run run;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(15)) {
        run = e2e::RunBrenkar(folder, {"EXPORT", "station.ini", server.address()});
        if (run.exitCode == 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(run.output.ends_with("\nAll done.\n"));
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_NE(server.Log().find("closed: no logon within 5 s (0 requests served)"),
              std::string::npos)
        << server.Log();
}

// Removing the database under a running server: the changes it can no longer keep are refused
// (result 10) and logged, rather than acknowledged and lost at the next start.
TEST(KestrodProgram, AChangeToADatabaseRemovedUnderItIsRefused) {
    TempFolder folder("e2e_removed");
    Kestrod server(folder, 57, "station.db");
    ASSERT_TRUE(server.ready());
    server_test::WireClient client(server.address(), 5123);
    ASSERT_EQ(client.LogOn(), 0);
    using kestro::wire::CallCode;
    ASSERT_EQ(client.Call<CallCode::SetGradePrice>(std::int32_t{1}, std::int16_t{1}, 6.25), 0);
    ASSERT_EQ(unlink(folder.File("station.db").c_str()), 0);
    ASSERT_EQ(unlink(folder.File("station.db-wal").c_str()), 0);
    EXPECT_EQ(client.Call<CallCode::SetGradePrice>(std::int32_t{1}, std::int16_t{1}, 7.5),
              kestro::kNotSaved);
    // The station keeps what was saved last.
    double price = 0;
    EXPECT_EQ(client.Call<CallCode::GetGradePrice>(std::int32_t{1}, std::int16_t{1}, &price), 0);
    EXPECT_EQ(price, 6.25);
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_NE(server.Log().find("connection 1: SetGradePrice 1 not saved: station.db: the "
                                "database file was removed or replaced while the server ran"),
              std::string::npos)
        << server.Log();
}

// A database holding a value that its record cannot hold does not start the server.
TEST(KestrodProgram, ADatabaseValueOutOfRangeEndsIt) {
    TempFolder folder("e2e_range");
    {
        Kestrod server(folder, 58, "station.db");
        ASSERT_TRUE(server.ready());
        EXPECT_EQ(server.Stop(), 0);
    }
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(folder.File("station.db").c_str(), &database), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(database, "UPDATE pumps SET side = 99999999999 WHERE id = 3", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(database);
    Ended run = RunKestrod(folder, {"--listen", "127.0.58.1", "--db", "station.db"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("cannot read the station database station.db: column side of "
                              "pumps 3 holds 99999999999, outside -32768 to 32767\n"),
              std::string::npos)
        << run.errors;
}

TEST(KestrodProgram, SigtermAndSigintStopItCleanlyWithClientsConnected) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        TempFolder folder("e2e_stop");
        Kestrod server(folder, 53, "station.db");
        ASSERT_TRUE(server.ready());
        server_test::WireClient client(server.address(), 5123);
        ASSERT_EQ(client.LogOn(), 0);
        server_test::WireClient events(server.address(), 5124);
        ASSERT_TRUE(events.connected());

        EXPECT_EQ(server.Stop(signal), 0);
        EXPECT_TRUE(client.ClosedByServer(1000));
        EXPECT_TRUE(server.Log().ends_with("kestrod: stopped\n")) << server.Log();
        EXPECT_NE(server.Log().find("connection 1 closed at shutdown (1 request served)"),
                  std::string::npos)
            << server.Log();
        // The database was closed properly: its write-ahead log is folded in and gone.
        EXPECT_FALSE(Exists(folder.File("station.db-wal")));
        EXPECT_TRUE(Exists(folder.File("station.db")));
    }
}

}  // namespace
