// The pictures the build wrote for Tolvan.OCX: every identifier the face, the popup and the
// module use is there with its exact size, 4 bits per pixel, 16 colours and the transparent
// key in its palette; the pixels decode (by this test's own reader) to the kept pixel maps;
// and a second run of tolvan-art gives the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "apps/tolvan-art/art_set.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// Identifier, width and height of every bitmap the control loads.
struct Expected {
    int id;
    int width;
    int height;
};

constexpr Expected kBitmaps[] = {
    {1, 16, 15},   {201, 45, 35}, {202, 18, 69},   {203, 18, 69}, {204, 18, 69}, {205, 45, 23},
    {206, 45, 35}, {207, 45, 23}, {208, 45, 35},   {209, 62, 80}, {210, 52, 13}, {211, 52, 13},
    {212, 52, 13}, {213, 52, 13}, {214, 45, 35},   {215, 45, 35}, {216, 18, 69}, {217, 52, 13},
    {218, 45, 35}, {219, 52, 13}, {221, 281, 265}, {222, 61, 49}, {223, 61, 49}, {224, 61, 49},
    {225, 61, 49}, {226, 61, 49}, {227, 61, 49},   {228, 61, 49}, {229, 61, 49}, {230, 61, 49},
    {231, 61, 49}, {232, 61, 49}, {233, 20, 34},   {234, 20, 34}, {235, 20, 34}, {236, 20, 34},
    {237, 45, 35}, {238, 62, 80},
};

// The built pictures named by the resource script, by kind and identifier.
std::map<std::pair<bool, int>, std::string> ScriptFiles() {
    std::string text, error;
    EXPECT_TRUE(art::ReadTextFile(TOLVAN_RC, text, error)) << error;
    std::map<std::pair<bool, int>, std::string> files;
    for (const art::PictureResource& p : art::ReadPictureResources(text, TOLVAN_RC, error)) {
        bool icon = p.kind == art::PictureResource::Kind::Icon;
        EXPECT_TRUE(files.emplace(std::pair(icon, p.id), p.file).second)
            << "resource " << p.id << " is named twice";
    }
    EXPECT_EQ(error, "");
    return files;
}

// Decodes a 4-bit bottom-up BI_RGB image into 0x00RRGGBB pixels, top-down.
std::vector<std::uint32_t> Decode4Bit(const std::vector<std::uint8_t>& b, std::size_t info,
                                      int width, int height) {
    const std::size_t palette = info + 40;
    const std::size_t rows = palette + 64;
    const std::size_t stride = static_cast<std::size_t>((width * 4 + 31) / 32 * 4);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = rows + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t byte = b[row + static_cast<std::size_t>(x / 2)];
            const std::size_t index = x % 2 == 0 ? byte >> 4 : byte & 15;
            const std::size_t entry = palette + index * 4;
            pixels.push_back(static_cast<std::uint32_t>(b[entry + 2]) << 16 | b[entry + 1] << 8 |
                             b[entry]);
        }
    }
    return pixels;
}

bool PaletteHoldsKey(const std::vector<std::uint8_t>& b, std::size_t palette) {
    for (std::size_t i = 0; i < 16; ++i) {
        if (b[palette + i * 4] == 0x80 && b[palette + i * 4 + 1] == 0 &&
            b[palette + i * 4 + 2] == 0x80) {
            return true;
        }
    }
    return false;
}

art::ArtSet KeptArt() {
    std::vector<std::string> errors;
    art::ArtSet set = art::LoadArtSet(TOLVAN_RC, TOLVAN_ART_DIR, errors);
    EXPECT_EQ(errors, std::vector<std::string>{});
    return set;
}

TEST(BuiltPicturesTest, EveryBitmapHasItsIdentifierSizeDepthAndKey) {
    auto files = ScriptFiles();
    art::ArtSet kept = KeptArt();
    EXPECT_EQ(files.size(), std::size(kBitmaps) + 1);  // and the icon
    for (const Expected& e : kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        auto file = files.find({false, e.id});
        ASSERT_NE(file, files.end());
        const std::vector<std::uint8_t> b =
            FileBytes(std::string(TOLVAN_RESOURCE_DIR) + "/" + file->second);
        ASSERT_GE(b.size(), 118u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(U32(b, 10), 118u);  // pixels after the palette
        EXPECT_EQ(U32(b, 14), 40u);   // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<int>(U32(b, 18)), e.width);
        EXPECT_EQ(static_cast<int>(U32(b, 22)), e.height);  // positive: bottom-up
        EXPECT_EQ(U16(b, 26), 1);                           // planes
        EXPECT_EQ(U16(b, 28), 4);                           // bits per pixel
        EXPECT_EQ(U32(b, 30), 0u);                          // BI_RGB
        EXPECT_EQ(U32(b, 46), 16u);                         // colours used
        const std::size_t stride = static_cast<std::size_t>((e.width * 4 + 31) / 32 * 4);
        EXPECT_EQ(b.size(), 118 + stride * static_cast<std::size_t>(e.height));
        EXPECT_TRUE(PaletteHoldsKey(b, 54));
        const art::BuiltPicture* source = kept.Find(e.id, art::PictureResource::Kind::Bitmap);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(Decode4Bit(b, 14, e.width, e.height),
                  art::MapPixels(source->maps.front(), kept.palette));
    }
}

TEST(BuiltPicturesTest, TheIconHoldsA32And16PixelImageOf16Colours) {
    auto files = ScriptFiles();
    auto file = files.find({true, 1});
    ASSERT_NE(file, files.end());
    const std::vector<std::uint8_t> b =
        FileBytes(std::string(TOLVAN_RESOURCE_DIR) + "/" + file->second);
    ASSERT_GE(b.size(), 38u);
    EXPECT_EQ(U16(b, 0), 0);
    EXPECT_EQ(U16(b, 2), 1);  // an icon
    ASSERT_EQ(U16(b, 4), 2);
    const int sizes[] = {32, 16};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE("image " + std::to_string(sizes[i]));
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(b[entry], sizes[i]);
        EXPECT_EQ(b[entry + 1], sizes[i]);
        EXPECT_EQ(b[entry + 2], 16);      // colours
        EXPECT_EQ(U16(b, entry + 6), 4);  // bits per pixel
        const std::size_t image = U32(b, entry + 12);
        ASSERT_LE(image + U32(b, entry + 8), b.size());
        EXPECT_EQ(U32(b, image + 4), static_cast<std::uint32_t>(sizes[i]));
        EXPECT_EQ(U32(b, image + 8), static_cast<std::uint32_t>(sizes[i] * 2));
        EXPECT_EQ(U16(b, image + 14), 4);
        EXPECT_TRUE(PaletteHoldsKey(b, image + 40));
    }
}

// Runs tolvan-art; returns its exit status and leaves its standard error in `messages`.
int RunArt(const std::string& artFolder, const std::string& out, std::string& messages) {
    const std::string log = out + "/messages.txt";
    const std::string command = std::string(TOLVAN_ART_PROGRAM) + " --rc " + TOLVAN_RC + " --art " +
                                artFolder + " --out " + out + " 2>" + log;
    const int status = std::system(command.c_str());
    std::string error;
    art::ReadTextFile(log, messages, error);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BuiltPicturesTest, TwoRunsGiveTheBuildsBytes) {
    test_support::TempFolder first("art_first"), second("art_second");
    std::string messages;
    ASSERT_EQ(RunArt(TOLVAN_ART_DIR, first.path(), messages), 0) << messages;
    ASSERT_EQ(RunArt(TOLVAN_ART_DIR, second.path(), messages), 0) << messages;
    for (const auto& [key, file] : ScriptFiles()) {
        const auto bytes = FileBytes(first.File(file));
        EXPECT_FALSE(bytes.empty()) << file;
        EXPECT_EQ(bytes, FileBytes(second.File(file))) << file;
        EXPECT_EQ(bytes, FileBytes(std::string(TOLVAN_RESOURCE_DIR) + "/" + file)) << file;
    }
}

// A copy of the kept art with one map replaced, as an editor's slip would leave it.
void CopyArtWith(const std::string& folder, const std::string& map, const std::string& text) {
    std::filesystem::copy(TOLVAN_ART_DIR, folder, std::filesystem::copy_options::recursive);
    std::ofstream(folder + "/" + map) << text;
}

TEST(BuiltPicturesTest, AMalformedMapStopsTheBuildNamingFileLineAndFault) {
    struct Case {
        const char* map;
        const char* text;
        const char* message;
    };
    constexpr Case kCases[] = {
        {"face_stack_0.txt", "size 52 13\n", "face_stack_0.txt: 0 rows, the map is 13 rows high"},
        {"face_padlock.txt",
         "# padlock\nsize 45 2\n"
         "...........................................\n",
         "face_padlock.txt:3: row 1 is 43 pixels wide, the map is 45"},
        {"row_pump.txt", "size 2 1\n.Q\n", "row_pump.txt:2:2: unknown palette character 'Q'"},
    };
    for (const Case& c : kCases) {
        test_support::TempFolder art("art_bad"), out("art_out");
        CopyArtWith(art.path() + "/art", c.map, c.text);
        std::string messages;
        EXPECT_EQ(RunArt(art.path() + "/art", out.path(), messages), 1) << c.map;
        EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
        EXPECT_FALSE(std::filesystem::exists(out.File("face_pump.bmp")))
            << "nothing is written from a malformed set";
    }
}

}  // namespace
