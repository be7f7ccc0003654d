// kestrod's command line: defaults, every option in both forms, faults, and the one-line
// errors for arguments it refuses.
#include "kestro/server/server_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kestro::server::ParseServerOptions;
using kestro::server::ServerOptions;

TEST(ServerOptionsTest, WithoutArgumentsTheDefaultsHold) {
    ServerOptions options;
    std::string error;
    ASSERT_TRUE(ParseServerOptions({}, options, error)) << error;
    EXPECT_EQ(options.address, "127.0.0.1");
    EXPECT_EQ(options.callPort, 5123);
    EXPECT_EQ(options.eventsPort, 5124);
    EXPECT_EQ(options.database, "kestrod.db");
    EXPECT_EQ(options.station, "sample");
    EXPECT_FALSE(options.stationGiven);
    EXPECT_TRUE(options.faults.empty());
    EXPECT_EQ(options.idleTimeout, std::chrono::minutes(10));
    EXPECT_FALSE(options.help);
}

TEST(ServerOptionsTest, EveryOptionTakesItsValueInEitherForm) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--listen", "127.0.0.7", "--call-port", "6000", "--events-port",
                                   "0", "--db", "/tmp/x.db", "--station", "max", "--idle-timeout",
                                   "2.5"},
          std::vector<std::string>{"--listen=127.0.0.7", "--call-port=6000", "--events-port=0",
                                   "--db=/tmp/x.db", "--station=max", "--idle-timeout=2.5"}}) {
        ServerOptions options;
        std::string error;
        ASSERT_TRUE(ParseServerOptions(arguments, options, error)) << error;
        EXPECT_EQ(options.address, "127.0.0.7");
        EXPECT_EQ(options.callPort, 6000);
        EXPECT_EQ(options.eventsPort, 0);
        EXPECT_EQ(options.database, "/tmp/x.db");
        EXPECT_EQ(options.station, "max");
        EXPECT_TRUE(options.stationGiven);
        EXPECT_EQ(options.idleTimeout, std::chrono::milliseconds(2500));
    }
}

TEST(ServerOptionsTest, FaultsNameACallAnOptionalRecordAndACode) {
    ServerOptions options;
    std::string error;
    ASSERT_TRUE(ParseServerOptions({"--fail", "GetGradePrice:2=6", "--fail=ClientLogonEx=-3",
                                    "--fail", "GetPortsCount:-1=2147483647", "--help"},
                                   options, error))
        << error;
    ASSERT_EQ(options.faults.size(), 3u);
    EXPECT_EQ(options.faults[0].call, "GetGradePrice");
    EXPECT_EQ(options.faults[0].record, 2);
    EXPECT_EQ(options.faults[0].code, 6);
    EXPECT_EQ(options.faults[1].call, "ClientLogonEx");
    EXPECT_EQ(options.faults[1].record, std::nullopt);
    EXPECT_EQ(options.faults[1].code, -3);
    EXPECT_EQ(options.faults[2].record, -1);
    EXPECT_EQ(options.faults[2].code, 2147483647);
    EXPECT_EQ(options.faults[0].after, 0);
    EXPECT_TRUE(options.help);
}

TEST(ServerOptionsTest, BadArgumentsAreRefusedWithALineNamingThem) {
    struct Row {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Row rows[] = {
        {{"--port", "1"}, "unknown option '--port'"},
        {{"5123"}, "unknown option '5123'"},
        {{"--help=yes"}, "unknown option '--help=yes'"},
        {{"--db"}, "--db needs a value"},
        {{"--db="}, "--db needs a file name"},
        {{"--listen", "localhost"},
         "--listen needs an IPv4 address such as 127.0.0.1, not 'localhost'"},
        {{"--listen", "127.0.0.256"},
         "--listen needs an IPv4 address such as 127.0.0.1, not '127.0.0.256'"},
        {{"--call-port", "65536"}, "--call-port needs a port number from 0 to 65535, not '65536'"},
        {{"--call-port", "-1"}, "--call-port needs a port number from 0 to 65535, not '-1'"},
        {{"--events-port", "12x"}, "--events-port needs a port number from 0 to 65535, not '12x'"},
        {{"--events-port", ""}, "--events-port needs a port number from 0 to 65535, not ''"},
        {{"--call-port", "7000", "--events-port", "7000"},
         "the call port and the events port must differ"},
        {{"--station", "huge"}, "--station needs empty, sample or max, not 'huge'"},
        {{"--idle-timeout", "0"}, "--idle-timeout needs seconds between 0 and 86400, not '0'"},
        {{"--idle-timeout", "-5"}, "--idle-timeout needs seconds between 0 and 86400, not '-5'"},
        {{"--idle-timeout", "10m"}, "--idle-timeout needs seconds between 0 and 86400, not '10m'"},
        {{"--idle-timeout", "nan"}, "--idle-timeout needs seconds between 0 and 86400, not 'nan'"},
        {{"--idle-timeout", "1e9"}, "--idle-timeout needs seconds between 0 and 86400, not '1e9'"},
        {{"--fail", "GetPortsCount"}, "--fail needs CALL[:RECORD]=CODE, not 'GetPortsCount'"},
        {{"--fail", "GetPortsCount=6:1"},
         "--fail needs CALL[:RECORD]=CODE, not 'GetPortsCount=6:1'"},
        {{"--fail", "GetPortCount=6"}, "--fail: 'GetPortCount' is no call of the Kestro interface"},
        {{"--fail", "DllVersion=6"},
         "--fail: DllVersion is answered by the client library, not the server"},
        {{"--fail", "ResultString=6"},
         "--fail: ResultString is answered by the client library, not the server"},
        {{"--fail", "GetPumpPropertiesEx:x=6"},
         "--fail: the record in 'GetPumpPropertiesEx:x=6' is no 32-bit number"},
        {{"--fail", "GetPumpPropertiesEx:=6"},
         "--fail: the record in 'GetPumpPropertiesEx:=6' is no 32-bit number"},
        {{"--fail", "GetPumpPropertiesEx=0"},
         "--fail: the code in 'GetPumpPropertiesEx=0' is no non-zero 32-bit number"},
        {{"--fail", "GetPumpPropertiesEx=2147483648"},
         "--fail: the code in 'GetPumpPropertiesEx=2147483648' is no non-zero 32-bit number"},
        // Numbers are whole words in base 10: no hexadecimal, no sign or blank before them.
        {{"--call-port", "0x10"}, "--call-port needs a port number from 0 to 65535, not '0x10'"},
        {{"--call-port", "+80"}, "--call-port needs a port number from 0 to 65535, not '+80'"},
        {{"--events-port", " 80"}, "--events-port needs a port number from 0 to 65535, not ' 80'"},
        {{"--idle-timeout", "0x10"},
         "--idle-timeout needs seconds between 0 and 86400, not '0x10'"},
        {{"--idle-timeout", " 5"}, "--idle-timeout needs seconds between 0 and 86400, not ' 5'"},
        {{"--idle-timeout", "inf"}, "--idle-timeout needs seconds between 0 and 86400, not 'inf'"},
        {{"--fail", "GetPumpPropertiesEx=0x6"},
         "--fail: the code in 'GetPumpPropertiesEx=0x6' is no non-zero 32-bit number"},
        {{"--fail", "GetPumpPropertiesEx: 2=6"},
         "--fail: the record in 'GetPumpPropertiesEx: 2=6' is no 32-bit number"},
    };
    for (const Row& row : rows) {
        ServerOptions options;
        std::string error;
        EXPECT_FALSE(ParseServerOptions(row.arguments, options, error)) << row.error;
        EXPECT_EQ(error, row.error);
    }
}

}  // namespace

namespace {

TEST(ServerOptionsTest, TheLiveForecourtsOptions) {
    ServerOptions defaults;
    EXPECT_FALSE(defaults.manualClock);
    EXPECT_FALSE(defaults.demo);
    EXPECT_EQ(defaults.seed, 1u);
    EXPECT_EQ(defaults.flowRate, 0.5);
    EXPECT_EQ(defaults.eventsQueue, 4096u);

    ServerOptions options;
    std::string error;
    ASSERT_TRUE(ParseServerOptions(
        {"--clock", "manual", "--demo", "--seed=42", "--flow-rate", "1.25", "--events-queue", "64"},
        options, error))
        << error;
    EXPECT_TRUE(options.manualClock);
    EXPECT_TRUE(options.demo);
    EXPECT_EQ(options.seed, 42u);
    EXPECT_EQ(options.flowRate, 1.25);
    EXPECT_EQ(options.eventsQueue, 64u);

    // A leading zero is no octal.
    ServerOptions zeros;
    ASSERT_TRUE(ParseServerOptions({"--seed", "010", "--call-port", "08080"}, zeros, error))
        << error;
    EXPECT_EQ(zeros.seed, 10u);
    EXPECT_EQ(zeros.callPort, 8080);

    struct Row {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Row refused[] = {
        {{"--clock", "fast"}, "--clock needs real or manual, not 'fast'"},
        {{"--seed", "-1"}, "--seed needs a number from 0 to 4294967295, not '-1'"},
        {{"--flow-rate", "0"},
         "--flow-rate needs litres per second above 0 and up to 100, not '0'"},
        {{"--flow-rate=101"},
         "--flow-rate needs litres per second above 0 and up to 100, not '101'"},
        {{"--events-queue", "0"}, "--events-queue needs a number of events above 0, not '0'"},
        {{"--events-queue", "4294967296"},
         "--events-queue needs a number of events above 0, not '4294967296'"},
        {{"--seed", "4294967296"}, "--seed needs a number from 0 to 4294967295, not '4294967296'"},
        {{"--seed", "7x"}, "--seed needs a number from 0 to 4294967295, not '7x'"},
        {{"--flow-rate", "nan"},
         "--flow-rate needs litres per second above 0 and up to 100, not 'nan'"},
        {{"--flow-rate", "inf"},
         "--flow-rate needs litres per second above 0 and up to 100, not 'inf'"},
        {{"--demo=yes"}, "unknown option '--demo=yes'"},
    };
    for (const Row& row : refused) {
        ServerOptions parsed;
        std::string message;
        EXPECT_FALSE(ParseServerOptions(row.arguments, parsed, message)) << row.arguments[0];
        EXPECT_EQ(message, row.error);
    }
}

}  // namespace
