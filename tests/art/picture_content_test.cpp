// What the kept pictures must show for the face and the popup to work: the readouts sit on
// a plain window, the status icons keep under the price and the grade name, the stack
// indicator lights as many lamps as it counts, only the hang-up nozzle carries the red arrow,
// disabled buttons are grey, and the popup's list area is plain where the list is drawn.
#include <gtest/gtest.h>

#include <set>

#include "apps/tolvan-art/art_set.h"

namespace {

class PictureContentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::string> errors;
        set_ = art::LoadArtSet(TOLVAN_RC, TOLVAN_ART_DIR, errors);
        ASSERT_EQ(errors, std::vector<std::string>{});
    }

    const art::PixelMap& Map(int id) const {
        const art::BuiltPicture* p = set_.Find(id, art::PictureResource::Kind::Bitmap);
        EXPECT_NE(p, nullptr) << "bitmap " << id;
        return p != nullptr ? p->maps.front() : empty_;
    }

    char Letter(const art::PixelMap& map, int x, int y) const {
        return set_.palette.letters[map.at(x, y)];
    }

    // The letters found in the rectangle from (x0, y0) to (x1, y1), both included.
    std::set<char> Letters(int id, int x0, int y0, int x1, int y1) const {
        const art::PixelMap& map = Map(id);
        std::set<char> found;
        for (int y = y0; y <= y1 && y < map.height; ++y) {
            for (int x = x0; x <= x1 && x < map.width; ++x) {
                found.insert(Letter(map, x, y));
            }
        }
        return found;
    }

    // The 4-connected areas of pixels of letter `c`.
    int Areas(int id, char c) const {
        const art::PixelMap& map = Map(id);
        std::vector<bool> seen(map.indices.size(), false);
        int areas = 0;
        for (int start = 0; start < static_cast<int>(map.indices.size()); ++start) {
            if (seen[static_cast<std::size_t>(start)] ||
                Letter(map, start % map.width, start / map.width) != c) {
                continue;
            }
            ++areas;
            std::vector<int> todo{start};
            seen[static_cast<std::size_t>(start)] = true;
            while (!todo.empty()) {
                const int at = todo.back();
                todo.pop_back();
                const int x = at % map.width;
                const int y = at / map.width;
                const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
                for (const auto& n : next) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= map.width || n[1] >= map.height) {
                        continue;
                    }
                    const int i = n[1] * map.width + n[0];
                    if (!seen[static_cast<std::size_t>(i)] && Letter(map, n[0], n[1]) == c) {
                        seen[static_cast<std::size_t>(i)] = true;
                        todo.push_back(i);
                    }
                }
            }
        }
        return areas;
    }

    art::ArtSet set_;
    art::PixelMap empty_;
};

TEST_F(PictureContentTest, ReadoutsSitOnAPlainWindowThatTheHatchedBodyHatches) {
    // The readouts' text lies in x 1..57 (right-aligned at 55, seven characters run left to 1)
    // and y 21..56 of the face: the window's white spans all of it.
    EXPECT_EQ(Letters(209, 1, 21, 59, 56), std::set<char>{'w'});
    EXPECT_EQ(Letters(238, 1, 21, 59, 56), (std::set<char>{'w', 'G'}));
    // The number plate under the pump number is black, for white and red numbers alike.
    EXPECT_EQ(Letters(209, 2, 2, 28, 16), std::set<char>{'k'});
    // Outside the window the two bodies are the same picture.
    const art::PixelMap& plain = Map(209);
    const art::PixelMap& hatched = Map(238);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 62; ++x) {
            if (x < 1 || x > 59 || y < 21 || y > 56) {
                ASSERT_EQ(plain.at(x, y), hatched.at(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(PictureContentTest, StatusIconsAreCentredUnderTheGradeName) {
    // The 35-row icons are drawn at face row 45, the 23-row ones at 57. The price's text
    // reaches row 57 (a comma), the grade name's rows 62 to 71 (it is not centred vertically):
    // every symbol keeps to the face's bottom rows 72 to 79, the same for every icon.
    const int kIcons[] = {201, 205, 206, 207, 208, 214, 215, 218, 237};
    for (int id : kIcons) {
        const art::PixelMap& map = Map(id);
        const int faceTop = map.height == 35 ? 45 : 57;
        int left = map.width, right = -1, top = -1, bottom = -1;
        for (int y = 0; y < map.height; ++y) {
            for (int x = 0; x < map.width; ++x) {
                if (map.at(x, y) != set_.palette.keyIndex) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    if (top < 0)
                        top = faceTop + y;
                    bottom = faceTop + y;
                }
            }
        }
        EXPECT_EQ(top, 72) << "bitmap " << id;
        EXPECT_EQ(bottom, 79) << "bitmap " << id;
        EXPECT_NEAR(left + right, map.width - 1, 4) << "bitmap " << id;
    }
}

TEST_F(PictureContentTest, StackIndicatorLightsOneLampPerDeliveryAndTheArrowForMore) {
    const struct {
        int id;
        int lamps;
    } kStrips[] = {{217, 0}, {210, 1}, {211, 2}, {212, 3}, {213, 4}, {219, 5}};
    for (const auto& s : kStrips) {
        EXPECT_EQ(Areas(s.id, 'y'), s.lamps) << "bitmap " << s.id;
    }
}

TEST_F(PictureContentTest, OnlyTheHangUpNozzleHasTheRedArrowAndTheEmptyHolderNoNozzle) {
    EXPECT_EQ(Areas(203, 'r'), 1);
    for (int id : {202, 204, 216}) {
        EXPECT_EQ(Letters(id, 0, 0, 17, 68).count('r'), 0u) << "bitmap " << id;
    }
    EXPECT_EQ(Letters(202, 0, 0, 17, 68).count('y'), 0u);
    for (int id : {203, 204, 216}) {
        EXPECT_EQ(Letters(id, 0, 0, 17, 68).count('y'), 1u) << "bitmap " << id;
    }
}

TEST_F(PictureContentTest, DisabledButtonsAreGreyAndPressedOnesDiffer) {
    const std::set<char> greys = {'k', 'd', 'G', 'g', 'w'};
    for (int id : {223, 226, 231}) {
        for (char c : Letters(id, 0, 0, 60, 48)) {
            EXPECT_EQ(greys.count(c), 1u) << "bitmap " << id << " has '" << c << "'";
        }
    }
    const int kPairs[][2] = {{222, 224}, {227, 228}, {232, 225}, {229, 230}};
    for (const auto& pair : kPairs) {
        EXPECT_NE(Map(pair[0]).indices, Map(pair[1]).indices) << pair[0] << " " << pair[1];
    }
}

TEST_F(PictureContentTest, PopupFrameLeavesThePlacesOfListAndHeadersPlain) {
    // The list (9, 29), 263 by 170, and the buttons' wells, 61 by 49 at y 208.
    EXPECT_EQ(Letters(221, 9, 29, 271, 198).size(), 1u);
    for (int x : {8, 76, 144, 212}) {
        EXPECT_EQ(Letters(221, x, 208, x + 60, 256).size(), 1u) << "well at " << x;
    }
}

}  // namespace
