// Replays the bitmap and dialog-template fuzz targets' seeds and every crash input they found
// (kept in tests/fuzz/) through the same checks, in every build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/gdi_readers_check.h"

namespace {

std::vector<std::filesystem::path> Inputs(const std::vector<std::string>& folders) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path fuzz = std::filesystem::path(FORECOURT_TEST_DATA) / ".." / "fuzz";
    for (const std::string& folder : folders) {
        if (!std::filesystem::exists(fuzz / folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(fuzz / folder)) {
            files.push_back(entry.path());
        }
    }
    return files;
}

std::vector<std::uint8_t> Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GdiFuzzInputs, BitmapSeedsAndRegressionsPassTheChecks) {
    const auto files = Inputs({"bmp_seeds", "bmp_regressions"});
    ASSERT_GE(files.size(), 5u);
    for (const auto& file : files) {
        const auto bytes = Bytes(file);
        EXPECT_EQ(gdi_fuzz::CheckBitmapBytes(bytes.data(), bytes.size()), "") << file;
        if (file.parent_path().filename() == "bmp_seeds") {  // seeds are good bitmaps
            platform::DibImage image;
            EXPECT_TRUE(platform::ReadPackedDib(bytes.data(), bytes.size(), &image, nullptr) ||
                        platform::ReadBmpFile(bytes.data(), bytes.size(), &image, nullptr))
                << file;
        }
    }
}

TEST(GdiFuzzInputs, DialogSeedsAndRegressionsPassTheChecks) {
    const auto files = Inputs({"dialog_template_seeds", "dialog_template_regressions"});
    ASSERT_GE(files.size(), 1u);
    for (const auto& file : files) {
        const auto bytes = Bytes(file);
        EXPECT_EQ(gdi_fuzz::CheckDialogBytes(bytes.data(), bytes.size()), "") << file;
        platform::DialogTemplate dialog;
        EXPECT_TRUE(platform::ReadDialogTemplate(bytes.data(), bytes.size(), &dialog, nullptr) ||
                    file.parent_path().filename() == "dialog_template_regressions")
            << file;
    }
}

}  // namespace
