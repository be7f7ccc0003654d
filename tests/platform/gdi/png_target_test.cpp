// Where WritePng puts a picture: only a regular file is replaced, a link is followed to the
// file it names, and whatever stands at the partial name is never written through.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/gdi.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);
const std::string kVictim = "the cashier's notes\n";

platform::PixelSurface Picture() {
    platform::PixelSurface surface;
    surface.Reset(4, 3, 0x00336699);
    return surface;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool IsPng(const fs::path& path) {
    return Read(path).substr(0, 8) == kPngSignature;
}

TEST(WritePngTarget, ATargetThatIsNoRegularFileIsRefusedAndLeftAlone) {
    struct Row {
        const char* what;
        std::function<bool(const fs::path&)> make;
        fs::file_type type;
    };
    const Row rows[] = {
        {"device node (a copy of /dev/full)",
         [](const fs::path& path) {
             return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
         },
         fs::file_type::character},
        {"FIFO", [](const fs::path& path) { return mkfifo(path.c_str(), 0666) == 0; },
         fs::file_type::fifo},
        {"folder", [](const fs::path& path) { return fs::create_directory(path); },
         fs::file_type::directory},
    };
    test_support::TempFolder folder;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path node = folder.File("shot.png");
        fs::remove_all(node);
        if (!row.make(node)) {
            GTEST_LOG_(INFO) << "cannot make a " << row.what << " here; row skipped";
            continue;
        }
        std::string failure = "untouched";
        EXPECT_FALSE(WritePng(Picture(), node.c_str(), &failure));
        EXPECT_EQ(failure, "not a regular file");
        EXPECT_EQ(fs::symlink_status(node).type(), row.type);
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder.File("shot.png.partial"))));
    }
}

TEST(WritePngTarget, ALinkIsFollowedToTheFileItNames) {
    test_support::TempFolder folder;
    const fs::path link = folder.File("shot.png");
    const fs::path real = folder.File("real.png");
    Write(real, "an older picture");
    fs::create_symlink("real.png", link);
    ASSERT_TRUE(WritePng(Picture(), link.c_str()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real.png");
    EXPECT_TRUE(IsPng(real));

    // A dangling link: the file it names is created.
    const fs::path dangling = folder.File("new.png");
    fs::create_symlink("made.png", dangling);
    ASSERT_TRUE(WritePng(Picture(), dangling.c_str()));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_TRUE(IsPng(folder.File("made.png")));
}

// What a careless or hostile user leaves at "<target>.partial" beforehand.
TEST(WritePngTarget, NothingAtThePartialNameIsWrittenThrough) {
    struct Row {
        const char* what;
        std::function<void(const fs::path& partial, const fs::path& victim)> plant;
    };
    const Row rows[] = {
        {"symbolic link to another file",
         [](const fs::path& partial, const fs::path& victim) {
             fs::create_symlink(victim, partial);
         }},
        {"hard link to another file",
         [](const fs::path& partial, const fs::path& victim) {
             fs::create_hard_link(victim, partial);
         }},
        {"FIFO", [](const fs::path& partial,
                    const fs::path&) { ASSERT_EQ(mkfifo(partial.c_str(), 0666), 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test_support::TempFolder folder;
        const fs::path target = folder.File("shot.png");
        const fs::path victim = folder.File("victim.txt");
        Write(victim, kVictim);
        row.plant(folder.File("shot.png.partial"), victim);
        std::string failure;
        ASSERT_TRUE(WritePng(Picture(), target.c_str(), &failure)) << failure;
        EXPECT_EQ(Read(victim), kVictim);
        EXPECT_EQ(fs::symlink_status(target).type(), fs::file_type::regular);
        EXPECT_TRUE(IsPng(target));
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder.File("shot.png.partial"))));
    }
}

TEST(WritePngTarget, AFailedWriteLeavesTheOldPictureAndTellsWhy) {
    test_support::TempFolder folder;
    const fs::path target = folder.File("shot.png");
    Write(target, "the old picture");
    platform::PixelSurface empty;
    std::string failure;
    EXPECT_FALSE(WritePng(empty, target.c_str(), &failure));
    EXPECT_EQ(failure, "no picture to write");
    EXPECT_FALSE(WritePng(Picture(), folder.File("missing/shot.png").c_str(), &failure));
    EXPECT_EQ(failure, "No such file or directory");
    EXPECT_EQ(Read(target), "the old picture");
    EXPECT_FALSE(fs::exists(folder.File("shot.png.partial")));
}

}  // namespace
