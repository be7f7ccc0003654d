// brenkar against a real kestrod over loopback: the export of the sample station, VERSION and
// every switch, a server that is not running, an import into an empty server exported again,
// an acknowledged import that outlives a killed server, and two clients at once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "tests/kestro_e2e/e2e_support.h"

namespace {

using e2e::IniSection;
using e2e::Kestrod;
using e2e::ReadFile;
using e2e::ReadIni;
using e2e::RunBrenkar;
using test_support::TempFolder;

const std::string kData = std::string(FORECOURT_TEST_DATA) + "/kestro_e2e/";

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The file's bytes with the export's time stamp replaced by "<date>".
std::string WithoutDate(std::string text) {
    const std::string key = "DateGenerated=";
    std::size_t at = text.find(key);
    if (at != std::string::npos) {
        at += key.size();
        text.replace(at, text.find('\r', at) - at, "<date>");
    }
    return text;
}

TEST(BrenkarAgainstKestrod, ExportsTheSampleStation) {
    TempFolder folder("e2e_export");
    Kestrod server(folder, 30, "station.db", {"--station", "sample"});
    ASSERT_TRUE(server.ready());
    e2e::Run run = RunBrenkar(folder, {"EXPORT", "station.ini", server.address()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Replaced(run.output, server.address(), "ADDRESS"),
              ReadFile(kData + "sample_export.txt"));
    EXPECT_EQ(WithoutDate(ReadFile(folder.File("station.ini"))),
              ReadFile(kData + "sample_station.ini"));
    EXPECT_EQ(server.Stop(), 0);
    // Logon, client type, server version, one snapshot of the station (the 330 getters the
    // export makes, answered by libkestro from it), logoff.
    EXPECT_NE(server.Log().find("connection 1 closed by the client (5 requests served)"),
              std::string::npos)
        << server.Log();
}

std::vector<std::string> Numbered(const std::string& prefix, int from, int to, int width = 2) {
    std::vector<std::string> names;
    for (int n = from; n <= to; ++n) {
        std::string digits = std::to_string(n);
        names.push_back(prefix + std::string(width - std::min<int>(width, digits.size()), '0') +
                        digits);
    }
    return names;
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::string ValueOf(const std::vector<IniSection>& sections, const std::string& section,
                    const std::string& key) {
    for (const IniSection& s : sections) {
        for (const auto& [k, v] : s.keys) {
            if (s.name == section && k == key) {
                return v;
            }
        }
    }
    return "<missing>";
}

TEST(BrenkarAgainstKestrod, VersionAndEverySwitchExportTheirSections) {
    TempFolder folder("e2e_switches");
    Kestrod server(folder, 31, "station.db", {"--station", "sample"});
    ASSERT_TRUE(server.ready());
    const std::vector<std::string> ports = Numbered("Port", 1, 6);
    // Under PAM the ports above 4 get a tank gauge section and their firmware key after it.
    const std::vector<std::string> pamPorts = {"Port01",      "Port02",      "Port03", "Port04",
                                               "Port05",      "TankGauge05", "Port05", "Port06",
                                               "TankGauge06", "Port06"};
    const std::vector<std::string> records =
        Joined({Numbered("Grade", 1, 4), Numbered("Tank", 1, 4), Numbered("ZigBee", 5, 8),
                Numbered("Pump", 1, 8), Numbered("Sensor", 1, 3), Numbered("Attendant", 1, 10),
                Numbered("Client", 1, 50, 3), Numbered("Product", 1, 20, 3)});
    const std::vector<std::string> service = {"Log",      "Server",  "Port",
                                              "Protocol", "Company", "Pam"};
    struct Row {
        std::vector<std::string> arguments;
        std::vector<std::string> sections;
        const char* protocol;  // the Protocol section's Name
    };
    const Row rows[] = {
        {{"VERSION"}, Joined({{"Application"}, ports, Numbered("ZigBee", 5, 8)}), "<missing>"},
        {{"EXPORT"}, Joined({{"Application"}, ports, records}), "<missing>"},
        {{"EXPORT", "/PAM"}, Joined({{"Application"}, service, pamPorts, records}), "PAM"},
        {{"EXPORT", "/COMPANY"}, Joined({{"Application"}, service, ports, records}), "Company"},
        {{"EXPORT", "/PAM", "/COMPANY"},
         Joined({{"Application"}, service, ports, records}),
         "Company"},
        {{"EXPORT", "/GSC"}, Joined({{"Application"}, service, {"GSC"}, pamPorts, records}), "PAM"},
        {{"EXPORT", "/COMPANY", "/IPT"},
         Joined({{"Application"}, service, {"GSC", "IPT"}, pamPorts, records}),
         "PAM"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments = row.arguments;
        SCOPED_TRACE(arguments.size() > 1 ? arguments[1] : arguments[0]);
        arguments.insert(arguments.begin() + 1, "out.ini");
        arguments.push_back(server.address());
        e2e::Run run = RunBrenkar(folder, arguments);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_TRUE(run.output.ends_with("\nAll done.\n")) << run.output;
        std::vector<IniSection> sections = ReadIni(folder.File("out.ini"));
        EXPECT_EQ(e2e::SectionNames(sections), row.sections);
        EXPECT_EQ(ValueOf(sections, "Protocol", "Name"), row.protocol);
    }
}

TEST(BrenkarAgainstKestrod, AServerThatIsNotRunningFailsTheLogon) {
    TempFolder folder("e2e_absent");
    // Nothing listens in this test's block of addresses.
    std::ofstream(folder.File("station.ini")) << "[Port01]\nNumber=1\n";
    for (const char* mode : {"EXPORT", "IMPORT"}) {
        e2e::Run run = RunBrenkar(folder, {mode, "station.ini", "127.0.32.1"});
        EXPECT_EQ(run.exitCode, 255);
        EXPECT_EQ(run.output, std::string("Brenkar 23.01 - forecourt controller configuration "
                                          "backup\n\nConnecting to 127.0.32.1 for ") +
                                  (mode[0] == 'E' ? "export" : "import") +
                                  ".\nLogon failed - cannot connect.\n");
    }
}

// Writes `text` after the line `after` of the file `path`.
void InsertAfter(const std::string& path, const std::string& after, const std::string& text) {
    std::string content = ReadFile(path);
    std::size_t at = content.find(after);
    ASSERT_NE(at, std::string::npos) << after;
    content.insert(at + after.size(), text);
    std::ofstream(path, std::ios::binary) << content;
}

TEST(BrenkarAgainstKestrod, AnImportIntoAnEmptyServerExportsTheSameRecords) {
    TempFolder folder("e2e_import");
    Kestrod sample(folder, 33, "sample.db", {"--station", "sample"});
    Kestrod empty(folder, 34, "empty.db", {"--station", "empty"});
    ASSERT_TRUE(sample.ready() && empty.ready());
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "sample.ini", sample.address()}).exitCode, 0);

    // Records the import leaves out by design: ZigBee devices 1 to 4, a port beyond the
    // probing's seven misses, a grade price after a level without one, a hose after a
    // position without one.
    const std::string path = folder.File("sample.ini");
    std::ofstream(path, std::ios::app | std::ios::binary)
        << "\r\n[ZigBee02]\r\nNumber=2\r\nName=Sonda 2\r\nDeviceType=1\r\nPortID=3\r\n"
        << "\r\n[Port20]\r\nNumber=20\r\nName=Porta 20\r\nProtocolID=1\r\n";
    InsertAfter(path, "Price02=6.199\r\n", "Price04=9.999\r\n");
    InsertAfter(path, "Hose2Enabled=1\r\n",
                "Hose6ID=99\r\nHose6Tank=1\r\nHose6PhysicalNumber=6\r\nHose6Enabled=1\r\n");

    e2e::Run import = RunBrenkar(folder, {"IMPORT", "sample.ini", empty.address()});
    EXPECT_EQ(import.exitCode, 0);
    EXPECT_EQ(Replaced(import.output, empty.address(), "ADDRESS"),
              ReadFile(kData + "sample_import.txt"));
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "again.ini", empty.address()}).exitCode, 0);

    const std::vector<IniSection> before = ReadIni(folder.File("sample.ini"));
    const std::vector<IniSection> after = ReadIni(folder.File("again.ini"));
    const std::set<std::string> notImported = {"ZigBee02", "Port20"};
    std::size_t next = 0;
    for (const IniSection& section : before) {
        if (notImported.count(section.name) != 0) {
            continue;
        }
        SCOPED_TRACE(section.name);
        ASSERT_LT(next, after.size());
        const IniSection& back = after[next++];
        ASSERT_EQ(back.name, section.name);
        std::vector<std::pair<std::string, std::string>> expected;
        for (auto [key, value] : section.keys) {
            const bool port = section.name.starts_with("Port");
            // Values the file carries that the import does not read back (radio settings,
            // firmware).
            if (key == "DateGenerated" || (section.name == "Grade02" && key == "Price04") ||
                key.starts_with("Hose6")) {
                continue;
            }
            if (key == "FirmwareVersion") {
                value = "";  // devices created by the import report empty details
            } else if (port && key == "PanID") {
                value = "0x0000";
            } else if (port && key == "Channels") {
                value = "";
            } else if (port && (key == "KeyA" || key == "KeyB")) {
                value = "0x0000000000000000";
            }
            expected.emplace_back(key, value);
        }
        std::vector<std::pair<std::string, std::string>> got;
        for (const auto& [key, value] : back.keys) {
            if (key != "DateGenerated") {
                got.emplace_back(key, value);
            }
        }
        EXPECT_EQ(got, expected);
    }
    EXPECT_EQ(next, after.size());
    // The probe serial numbers of the sample do not fit 16 bits, and come back whole.
    EXPECT_EQ(ValueOf(after, "Tank01", "ProbeSerialNo"), "41001");

    // The imported station lives in the database: a restarted server exports it the same.
    ASSERT_EQ(empty.Stop(), 0);
    ASSERT_TRUE(empty.Restart());
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "restarted.ini", empty.address()}).exitCode, 0);
    EXPECT_EQ(WithoutDate(ReadFile(folder.File("restarted.ini"))),
              WithoutDate(ReadFile(folder.File("again.ini"))));
}

TEST(BrenkarAgainstKestrod, AnAcknowledgedImportOutlivesAKilledServer) {
    TempFolder folder("e2e_persist");
    Kestrod server(folder, 35, "station.db", {"--station", "sample"});
    ASSERT_TRUE(server.ready());
    std::ofstream(folder.File("change.ini"), std::ios::binary)
        << "\r\n[Product001]\r\nNumber=1\r\nName=Caf\xE9 coado\r\nTag=T1\r\nEnabled=1\r\n"
        << "ShortName=CAFE\r\nBarcode=7890001\r\nPrice1=4.250\r\nPrice2=4.500\r\n"
        << "ProductGroup=2\r\n";
    e2e::Run import = RunBrenkar(folder, {"IMPORT", "change.ini", server.address()});
    ASSERT_EQ(import.exitCode, 0);
    EXPECT_NE(import.output.find("  1 products imported successfully.\n"), std::string::npos);

    server.Stop(SIGKILL);
    ASSERT_TRUE(server.Restart());
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "after.ini", server.address()}).exitCode, 0);
    const std::vector<IniSection> after = ReadIni(folder.File("after.ini"));
    EXPECT_EQ(ValueOf(after, "Product001", "Name"), "Caf\xE9 coado");
    EXPECT_EQ(ValueOf(after, "Product001", "Price2"), "4.500");
    EXPECT_EQ(ValueOf(after, "Product002", "Number"), "2");
}

TEST(BrenkarAgainstKestrod, TwoClientsExportAtOnce) {
    TempFolder folder("e2e_two");
    Kestrod server(folder, 36, "station.db", {"--station", "sample"});
    ASSERT_TRUE(server.ready());
    std::vector<std::unique_ptr<e2e::ChildProcess>> clients;
    for (const char* name : {"one", "two"}) {
        const std::string base = folder.File(name);
        clients.push_back(std::make_unique<e2e::ChildProcess>(
            std::vector<std::string>{e2e::kBrenkar, "EXPORT", std::string(name) + ".ini",
                                     server.address()},
            folder.path(), base + ".out", base + ".err"));
    }
    for (auto& client : clients) {
        ASSERT_TRUE(client->Wait(e2e::kRunLimit).has_value());
        EXPECT_EQ(client->exitCode(), 0) << client->Output();
    }
    EXPECT_EQ(WithoutDate(ReadFile(folder.File("one.ini"))),
              WithoutDate(ReadFile(folder.File("two.ini"))));
    EXPECT_EQ(WithoutDate(ReadFile(folder.File("one.ini"))),
              ReadFile(kData + "sample_station.ini"));
}

TEST(BrenkarAgainstKestrod, ARestoreThatLostRecordsEndsWithStatusThree) {
    TempFolder folder("e2e_lost");
    Kestrod empty(folder, 60, "lost.db",
                  {"--station", "empty", "--fail", "SetPortProperties:2=10"});
    ASSERT_TRUE(empty.ready());
    std::ofstream(folder.File("lost.ini"))
        << "[Port01]\nNumber=1\n[Port02]\nNumber=2\n[Port03]\nNumber=3\n";
    e2e::Run run = RunBrenkar(folder, {"IMPORT", "lost.ini", empty.address()});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(
        run.output.ends_with("SetPortProperties failed - change not saved by the server.\n"
                             "  2 ports imported successfully.\n\nAll done.\n"))
        << run.output;
}

TEST(BrenkarAgainstKestrod, TwoExportsToOneFileNeverMixTheirOutput) {
    TempFolder folder("e2e_race");
    Kestrod server(folder, 61, "race.db", {"--station", "max"});
    ASSERT_TRUE(server.ready());
    const std::vector<std::string> command{e2e::kBrenkar, "EXPORT", "race.ini", server.address()};
    e2e::ChildProcess first(command, folder.path(), folder.File("first.out"),
                            folder.File("first.err"));
    // The second starts once the first is writing its partial file.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        std::error_code missing;
        const auto size = std::filesystem::file_size(folder.File("race.ini.partial"), missing);
        if ((!missing && size >= 100000) || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    e2e::Run second = RunBrenkar(folder, {"EXPORT", "race.ini", server.address()});
    EXPECT_EQ(second.exitCode, 255);
    EXPECT_TRUE(
        second.output.ends_with("Cannot write the file race.ini - another export is writing it.\n"))
        << second.output;
    ASSERT_TRUE(first.Wait(e2e::kRunLimit).has_value());
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(first.Output().ends_with("\nAll done.\n"));
    const std::string whole = ReadFile(folder.File("race.ini"));
    EXPECT_GT(whole.size(), 8000000u);
    EXPECT_NE(whole.find("\r\n[Product9999]\r\n"), std::string::npos);
    EXPECT_TRUE(whole.ends_with("\r\n"));
}

}  // namespace
