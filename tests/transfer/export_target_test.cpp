// The export's target file: only a regular file the user may write is replaced; a link is
// followed to the file it names; the partial file belongs to one export at a time; a name of
// any length that the file system takes can be exported to.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

#include "platform/atomic_file.h"
#include "tests/support/special_files.h"
#include "tests/support/unprivileged_user.h"
#include "tests/transfer/export_harness.h"

namespace export_test {
namespace {

const std::string kOldFile = "\r\n[Application]\r\nName=the last good backup\r\n";

class ExportTargetTest : public ExportTest {};

TEST_F(ExportTargetTest, ATargetThatIsNoRegularFileIsRefusedAndLeftAlone) {
    struct Row {
        const char* what;
        std::function<bool(const std::filesystem::path&)> make;
        std::filesystem::file_type type;
    };
    const Row rows[] = {
        {"device node (a copy of /dev/full)",
         [](const std::filesystem::path& path) {
             return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
         },
         std::filesystem::file_type::character},
        {"FIFO", [](const std::filesystem::path& path) { return mkfifo(path.c_str(), 0666) == 0; },
         std::filesystem::file_type::fifo},
        {"folder",
         [](const std::filesystem::path& path) { return std::filesystem::create_directory(path); },
         std::filesystem::file_type::directory},
        {"socket", test_support::MakeSocketNode, std::filesystem::file_type::socket},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::filesystem::path node = folder / "node";
        std::filesystem::remove_all(node);
        if (!row.make(node)) {
            ADD_FAILURE() << "cannot make the node; skipped";
            continue;
        }
        station.ClearCalls();
        EXPECT_EQ(Export(false, false, false, false, node),
                  "Cannot write the file " + node.string() + " - not a regular file.\n");
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(station.Calls().empty());
        EXPECT_EQ(std::filesystem::symlink_status(node).type(), row.type);
        EXPECT_FALSE(std::filesystem::exists(folder / "node.partial"));
    }
}

TEST_F(ExportTargetTest, ASecondExportToTheSameFileIsRefusedWhileTheFirstWrites) {
    WriteFile(target, kOldFile);
    // The first export's side: it holds the partial file from its start to its rename.
    AtomicFile first(target.string());
    ASSERT_TRUE(first.Create());
    EXPECT_EQ(Export(),
              "Cannot write the file " + target.string() + " - another export is writing it.\n");
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(station.Calls().empty());
    EXPECT_EQ(ReadFile(target), kOldFile);

    const std::string whole = "\r\n[Application]\r\nName=the first export, whole\r\n";
    ASSERT_EQ(write(first.Descriptor(), whole.data(), whole.size()),
              static_cast<ssize_t>(whole.size()));
    ASSERT_TRUE(first.Commit(static_cast<std::int64_t>(whole.size())));
    EXPECT_EQ(ReadFile(target), whole);

    // Once the first is done, the name is free again.
    EXPECT_EQ(Export(), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target), Expected("fixture.ini"));
}

TEST_F(ExportTargetTest, APartialFileOfAnEndedExportIsTakenOverAndEmptied) {
    WriteFile(partial, std::string(100000, 'x'));  // a killed run's leftover, not locked
    EXPECT_EQ(Export(), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target), Expected("fixture.ini"));
    EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(ExportTargetTest, AHardLinkPlantedAtThePartialNameLeavesItsOtherFileAlone) {
    const std::filesystem::path victim = folder / "notes.txt";
    WriteFile(victim, kOldFile);
    std::filesystem::create_hard_link(victim, partial);
    EXPECT_EQ(Export(), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(victim), kOldFile);
    EXPECT_EQ(ReadFile(target), Expected("fixture.ini"));
    EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(ExportTargetTest, AReadOnlyTargetIsRefusedForItsNonRootOwner) {
    WriteFile(target, kOldFile);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    test_support::GiveToUnprivilegedUser(target);
    test_support::OpenFolderToEveryone(folder);
    int status = 0;
    const std::string console = test_support::CaptureStdout([&] {
        status = test_support::RunUnprivileged([&] {
            return ExportConfiguration(target.string().c_str(), false, false, false, false);
        });
    });
    EXPECT_EQ(console, "Cannot write the file " + target.string() + " - Permission denied.\n");
    EXPECT_EQ(status, 255);
    EXPECT_EQ(ReadFile(target), kOldFile);
    EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(ExportTargetTest, ALinkIsExportedThroughToTheFileItNames) {
    const std::filesystem::path real = folder / "real" / "station.ini";
    std::filesystem::create_directory(real.parent_path());
    WriteFile(real, kOldFile);
    std::filesystem::permissions(
        real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real/station.ini", folder / "middle.ini");
    std::filesystem::create_symlink("middle.ini", target);  // a link to a link
    EXPECT_EQ(Export(), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(target));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "middle.ini"));
    EXPECT_EQ(ReadFile(real), Expected("fixture.ini"));
    EXPECT_EQ(std::filesystem::status(real).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(std::filesystem::exists(partial));
    EXPECT_FALSE(std::filesystem::exists(real.parent_path() / "station.ini.partial"));

    // A link that names no file yet: the file is created where it points.
    const std::filesystem::path dangling = folder / "dangling.ini";
    std::filesystem::create_symlink("real/new.ini", dangling);
    EXPECT_EQ(Export(false, false, false, false, dangling), kFixtureConsole);
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(ReadFile(folder / "real" / "new.ini"), Expected("fixture.ini"));

    // A circle of links is reported, nothing written.
    std::filesystem::create_symlink("circle2.ini", folder / "circle1.ini");
    std::filesystem::create_symlink("circle1.ini", folder / "circle2.ini");
    EXPECT_EQ(Export(false, false, false, false, folder / "circle1.ini"),
              "Cannot write the file " + (folder / "circle1.ini").string() +
                  " - Too many levels of symbolic links.\n");
    EXPECT_EQ(result, -1);
}

TEST_F(ExportTargetTest, ANameAsLongAsTheFileSystemTakesIsExported) {
    const std::filesystem::path longName = folder / (std::string(246, 'n') + ".ini");  // 250
    EXPECT_EQ(Export(false, false, false, false, longName), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(longName), Expected("fixture.ini"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);  // no partial file left
}

TEST_F(ExportTargetTest, LineBreaksInAControllerTextNeverForgeARecord) {
    kestro::PortRecord port = *station.CurrentConfiguration().ports.Find(1);
    port.name = u"Bomba 7\r\n[Port08]\r\nNumber=8\r\nName=INJECTED PORT";
    ASSERT_EQ(station.SetPortProperties(port), kestro::kSuccess);
    EXPECT_EQ(Export(), kFixtureConsole);
    const std::string written = *ReadFile(target);
    EXPECT_NE(written.find("\r\nName=Bomba 7  [Port08]  Number=8  Name=INJECTED PORT\r\n"),
              std::string::npos);
    EXPECT_EQ(written.find("\n[Port08]"), std::string::npos);
}

}  // namespace
}  // namespace export_test
