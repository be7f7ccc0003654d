// Tests of the station database: creation from a seed, reopening, every record kind and every
// kind of value coming back exactly, saves that outlive a killed process, and the files it
// refuses.
#include "kestro/store/station_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "kestro/model/station_generators.h"
#include "tests/support/captured_output.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged_user.h"

namespace {

using kestro::Configuration;
using kestro::StationStore;
using test_support::TempFolder;

// Runs one SQL statement on a database file behind the store's back.
void Tamper(const std::string& path, const std::string& sql) {
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &database), SQLITE_OK);
    char* message = nullptr;
    int rc = sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message != nullptr ? message : "");
    sqlite3_free(message);
    sqlite3_close(database);
}

Configuration Reopened(const std::string& path) {
    StationStore store;
    bool seeded = false;
    EXPECT_TRUE(store.Open(path, [&] {
        seeded = true;
        return Configuration();
    })) << store.error();
    EXPECT_FALSE(seeded);
    EXPECT_FALSE(store.created());
    Configuration loaded;
    EXPECT_TRUE(store.Load(loaded)) << store.error();
    return loaded;
}

TEST(StationStoreTest, EveryGeneratorComesBackWhole) {
    for (const char* name : {"empty", "sample", "max"}) {
        SCOPED_TRACE(name);
        TempFolder folder("store");
        const std::string path = folder.File("station.db");
        Configuration generated = *kestro::GenerateStation(name);
        {
            StationStore store;
            ASSERT_TRUE(store.Open(path, [&] { return generated; })) << store.error();
            EXPECT_TRUE(store.created());
            Configuration loaded;
            ASSERT_TRUE(store.Load(loaded)) << store.error();
            EXPECT_TRUE(loaded == generated);
        }
        EXPECT_TRUE(Reopened(path) == generated);
    }
}

TEST(StationStoreTest, AnEmptyFileIsCreatedFromTheSeed) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    std::ofstream(path).close();
    StationStore store;
    ASSERT_TRUE(store.Open(path, kestro::SampleStation)) << store.error();
    EXPECT_TRUE(store.created());
    Configuration loaded;
    ASSERT_TRUE(store.Load(loaded));
    EXPECT_TRUE(loaded == kestro::SampleStation());
}

TEST(StationStoreTest, SavedRecordsAreCreatedOrReplacedWithEveryValueExact) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    Configuration expected = kestro::SampleStation();

    kestro::PortRecord port = *expected.ports.Find(3);
    port.name = std::nullopt;                                   // null stays null
    port.serialNo = std::u16string();                           // empty stays empty
    port.zb2g.keyA = std::numeric_limits<std::int64_t>::min();  // every bit of 64
    port.zb2g.keyB = -1;
    port.details.reset();
    kestro::ZigBeeRecord device{.id = 99,
                                .number = std::numeric_limits<std::int32_t>::max(),
                                .name = std::u16string(u"a\0b", 3),  // embedded zero
                                .deviceType = std::numeric_limits<std::int16_t>::min(),
                                .serialNumber = u"\xD800x",  // lone high surrogate
                                .nodeIdentifier = u"\U0001F6E2 \u00D3leo",
                                .portId = -1,
                                .details = kestro::DeviceDetails{u"", std::nullopt, u"\xDC00"}};
    kestro::CardClientRecord client = *expected.cardClients.Find(1);
    client.limit = std::numeric_limits<double>::max();
    client.odometer = std::numeric_limits<double>::denorm_min();
    client.expirationDate = -std::numeric_limits<double>::infinity();
    client.name = u"Jos\u00E9 Concei\u00E7\u00E3o";
    {
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::SampleStation)) << store.error();
        ASSERT_TRUE(store.Save(port)) << store.error();
        ASSERT_TRUE(store.Save(device)) << store.error();
        ASSERT_TRUE(store.Save(client)) << store.error();
    }
    expected.ports.Put(port);
    expected.zigBees.Put(device);
    expected.cardClients.Put(client);
    Configuration loaded = Reopened(path);
    EXPECT_TRUE(loaded.ports == expected.ports);
    EXPECT_TRUE(loaded.zigBees == expected.zigBees);
    EXPECT_TRUE(loaded.cardClients == expected.cardClients);
    EXPECT_TRUE(loaded == expected);
}

TEST(StationStoreTest, ANaNComesBackAsNaN) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    {
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::EmptyStation));
        kestro::HoseRecord hose{.id = 1, .pumpId = 1, .price1 = std::nan("")};
        ASSERT_TRUE(store.Save(hose)) << store.error();
    }
    Configuration loaded = Reopened(path);
    ASSERT_EQ(loaded.hoses.Count(), 1);
    EXPECT_TRUE(std::isnan(loaded.hoses.Find(1)->price1));
}

TEST(StationStoreTest, ASaveOutlivesAKilledProcess) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    {
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::EmptyStation));
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        StationStore store;
        kestro::ProductRecord product{.id = 7, .number = 7, .name = u"Caf\u00E9"};
        if (store.Open(path, kestro::EmptyStation) && store.Save(product)) {
            kill(getpid(), SIGKILL);
        }
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not save";
    Configuration loaded = Reopened(path);
    ASSERT_NE(loaded.products.Find(7), nullptr);
    EXPECT_EQ(loaded.products.Find(7)->name, u"Caf\u00E9");
}

TEST(StationStoreTest, ASecondStoreCannotOpenAFileInUse) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    StationStore first;
    ASSERT_TRUE(first.Open(path, kestro::SampleStation));
    StationStore second;
    EXPECT_FALSE(second.Open(path, kestro::SampleStation));
    EXPECT_EQ(second.error(), path + ": the database is in use by another server");
    EXPECT_TRUE(first.Save(kestro::GradeRecord{.id = 9, .number = 9})) << first.error();
}

TEST(StationStoreTest, FilesThatAreNoStationDatabaseAreRefused) {
    struct Row {
        const char* what;
        const char* sql;  // applied to a fresh station database; null: a text file instead
        const char* error;
    };
    const Row rows[] = {
        {"text file", nullptr, "file is not a database"},
        {"other schema", "UPDATE station_meta SET value = 2",
         "station database of schema version 2, this server reads version 1"},
        {"foreign database", "DROP TABLE station_meta", "not a station database"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder("store");
        const std::string path = folder.File("station.db");
        if (row.sql == nullptr) {
            std::ofstream(path)
                << "[Application]\r\nName=not a database at all, but long enough\r\n";
        } else {
            {
                StationStore store;
                ASSERT_TRUE(store.Open(path, kestro::EmptyStation));
            }
            Tamper(path, row.sql);
        }
        StationStore store;
        EXPECT_FALSE(store.Open(path, kestro::SampleStation));
        EXPECT_EQ(store.error(), path + ": " + row.error);
    }
}

TEST(StationStoreTest, AValueOfTheWrongTypeIsRefusedOnLoad) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    {
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::SampleStation));
    }
    Tamper(path, "UPDATE pumps SET side = 'left' WHERE id = 2");
    StationStore store;
    ASSERT_TRUE(store.Open(path, kestro::EmptyStation));
    Configuration kept = kestro::EmptyStation();
    kept.grades.Put(kestro::GradeRecord{.id = 1});
    Configuration loaded = kept;
    EXPECT_FALSE(store.Load(loaded));
    EXPECT_EQ(store.error(), "column side of pumps 2 holds a value of the wrong type");
    EXPECT_TRUE(loaded == kept);
}

// A value written behind the server's back that its record cannot hold is refused with the
// table, the row and the column, rather than cut to the record's width.
TEST(StationStoreTest, AValueOutOfItsColumnsRangeIsRefusedOnLoad) {
    struct Row {
        const char* sql;
        const char* error;
    };
    const Row rows[] = {
        {"UPDATE pumps SET side = 99999999999 WHERE id = 2",
         "column side of pumps 2 holds 99999999999, outside -32768 to 32767"},
        {"UPDATE pumps SET side = -32769 WHERE id = 2",
         "column side of pumps 2 holds -32769, outside -32768 to 32767"},
        {"UPDATE hoses SET pump_id = 2147483648 WHERE id = 31",
         "column pump_id of hoses 31 holds 2147483648, outside -2147483648 to 2147483647"},
        {"UPDATE ports SET has_details = 2 WHERE id = 1",
         "column has_details of ports 1 holds 2, outside 0 to 1"},
        {"UPDATE pumps SET id = 2147483648 WHERE id = 3",
         "a row of pumps has the id 2147483648, outside 1 to 2147483647"},
        {"UPDATE grades SET id = 0 WHERE id = 1",
         "a row of grades has the id 0, outside 1 to 2147483647"},
        {"UPDATE tanks SET id = -5 WHERE id = 1",
         "a row of tanks has the id -5, outside 1 to 2147483647"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sql);
        TempFolder folder("store");
        const std::string path = folder.File("station.db");
        {
            StationStore store;
            ASSERT_TRUE(store.Open(path, kestro::SampleStation));
        }
        Tamper(path, row.sql);
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::EmptyStation));
        Configuration loaded;
        EXPECT_FALSE(store.Load(loaded));
        EXPECT_EQ(store.error(), row.error);
    }
    // The widths' own ends are values like any other.
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    {
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::SampleStation));
    }
    Tamper(path, "UPDATE pumps SET side = -32768, slot = 2147483647, id = 2147483647 WHERE id = 2");
    Configuration loaded = Reopened(path);
    ASSERT_NE(loaded.pumps.Find(2147483647), nullptr);
    EXPECT_EQ(loaded.pumps.Find(2147483647)->side, -32768);
    EXPECT_EQ(loaded.pumps.Find(2147483647)->slot, 2147483647);
}

// A database whose file or log is removed or replaced under the store takes no more changes:
// they would be written to files no one can open again, and lost.
TEST(StationStoreTest, ASaveIsRefusedOnceTheFileOrItsLogIsGone) {
    const std::string fileGone = ": the database file was removed or replaced while the server ran";
    const std::string logGone = "-wal was removed or replaced while the server ran";
    struct Row {
        const char* what;
        std::vector<const char*> removed;  // suffixes of the files removed
        bool replaced;                     // then a copy of the file put in its place
        bool logNamed;                     // the error names the log rather than the file
    };
    const Row rows[] = {
        {"file and log removed", {"", "-wal"}, false, false},
        {"file removed", {""}, false, false},
        {"log removed", {"-wal"}, false, true},
        {"file replaced by a copy", {}, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder("store");
        const std::string path = folder.File("station.db");
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::SampleStation)) << store.error();
        ASSERT_TRUE(store.Save(kestro::GradeRecord{.id = 8, .number = 8})) << store.error();
        for (const char* suffix : row.removed) {
            ASSERT_EQ(unlink((path + suffix).c_str()), 0) << suffix;
        }
        if (row.replaced) {
            std::filesystem::copy_file(path, path + ".copy");
            std::filesystem::rename(path + ".copy", path);
        }
        EXPECT_FALSE(store.Save(kestro::GradeRecord{.id = 9, .number = 9}));
        EXPECT_EQ(store.error(), row.logNamed ? path + ": its write-ahead log " + path + logGone
                                              : path + fileGone);
    }
}

TEST(StationStoreTest, AMissingFolderIsReported) {
    TempFolder folder("store");
    StationStore store;
    const std::string path = folder.File("no/such/station.db");
    EXPECT_FALSE(store.Open(path, kestro::SampleStation));
    EXPECT_EQ(store.error(), path + ": the folder " + folder.File("no/such") +
                                 " cannot be written (No such file or directory)");
    EXPECT_FALSE(store.Save(kestro::GradeRecord{.id = 1}));
    EXPECT_EQ(store.error(), "no database is open");
}

TEST(StationStoreTest, ADatabaseThatMayNotBeWrittenIsReportedWithItsReason) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs a second user: run as root, the test takes the part of nobody";
    }
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    {
        StationStore store;
        ASSERT_TRUE(store.Open(path, kestro::SampleStation)) << store.error();
    }
    // As an ordinary user: a database of another user, then a new one in a folder of another.
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all |
                                                    std::filesystem::perms::group_exec |
                                                    std::filesystem::perms::others_exec);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::others_read);
    const std::string newPath = folder.File("new.db");
    const std::string console = test_support::CaptureStdout([&] {
        test_support::RunUnprivileged([&] {
            for (const std::string& file : {path, newPath}) {
                StationStore store;
                store.Open(file, kestro::SampleStation);
                std::printf("%s\n", store.error().c_str());
            }
            return 0;
        });
    });
    EXPECT_EQ(console, path + ": Permission denied\n" + newPath + ": the folder " + folder.path() +
                           " cannot be written (Permission denied)\n");
    EXPECT_FALSE(std::filesystem::exists(newPath));
}

TEST(StationStoreTest, AChangeThatCannotBeSavedNamesTheFileAndTheSystemsReason) {
    TempFolder folder("store");
    const std::string path = folder.File("station.db");
    StationStore store;
    ASSERT_TRUE(store.Open(path, [] { return Configuration(); })) << store.error();
    // The file size limit makes the system refuse the write, as a full disk would.
    rlimit normal{};
    getrlimit(RLIMIT_FSIZE, &normal);
    const rlimit limit{std::filesystem::file_size(path) + 1024, normal.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    kestro::ProductRecord product{.id = 1, .number = 1};
    product.name = std::u16string(100000, u'x');
    const bool saved = store.Save(product);
    setrlimit(RLIMIT_FSIZE, &normal);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(store.error().starts_with(path + ": ")) << store.error();
    EXPECT_NE(store.error().find("(File too large)"), std::string::npos) << store.error();
}

}  // namespace
