// Composition of mock faces and the mock popup (positions as the face and popup use them).
#include "apps/tolvan-art/face_mock.h"

namespace art {
namespace {

struct Canvas {
    SheetPicture picture;

    Canvas(const std::string& label, int width, int height, std::uint32_t background) {
        picture.label = label;
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                              background);
        picture.key = 0x01000000;  // no pixel of the canvas is transparent
    }

    // Draws bitmap `id` at (x, y) leaving its key-colour pixels out, as TransparentBlt does.
    void Blit(const ArtSet& set, int id, int x, int y) {
        const BuiltPicture* p = set.Find(id, PictureResource::Kind::Bitmap);
        if (p == nullptr) {
            return;
        }
        const PixelMap& map = p->maps.front();
        for (int row = 0; row < map.height; ++row) {
            for (int col = 0; col < map.width; ++col) {
                const int tx = x + col;
                const int ty = y + row;
                if (map.at(col, row) == set.palette.keyIndex || tx < 0 || ty < 0 ||
                    tx >= picture.width || ty >= picture.height) {
                    continue;
                }
                picture
                    .pixels[static_cast<std::size_t>(ty) * static_cast<std::size_t>(picture.width) +
                            static_cast<std::size_t>(tx)] = set.palette.rgb[map.at(col, row)];
            }
        }
    }

    void Text(int x, int y, const std::string& text, int scale, std::uint32_t colour) {
        DrawPixelText(picture.pixels, picture.width, picture.height, x, y, text, scale, colour);
    }

    // Right-aligned at `right`, as the readouts are.
    void TextRight(int right, int y, const std::string& text, int scale, std::uint32_t colour) {
        Text(right - PixelTextWidth(text, scale), y, text, scale, colour);
    }
};

struct FaceCase {
    const char* label;
    int body;
    int nozzle;
    int stack;
    int icon;  // 0: none
    int iconTop;
    const char* number;
    std::uint32_t numberColour;
    const char* volume;
    const char* value;
    const char* price;
    std::uint32_t readoutColour;
    std::uint32_t background;
};

constexpr std::uint32_t kLive = 0x008000;
constexpr std::uint32_t kRed = 0xC00000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kButtonFace = 0xD4D0C8;

constexpr FaceCase kFaces[] = {
    {"IDLE LOCKED", 209, 216, 217, 201, 45, "01", kWhite, "12.34", "25.67", "2.079/L", kLive,
     kButtonFace},
    {"CALLING", 209, 204, 210, 215, 45, "02", kRed, "", "", "2.079/L", kLive, kButtonFace},
    {"DELIVERING", 209, 202, 211, 0, 45, "03", kWhite, "8.420", "17.51", "2.079/L", kLive, kWhite},
    {"ENDED 5 STACKED", 209, 203, 219, 0, 45, "04", kWhite, "40.000", "83.16", "2.079/L", 0x000000,
     kButtonFace},
    {"OFFLINE", 238, 216, 217, 0, 45, "05", kWhite, "", "", "", kLive, kButtonFace},
    {"ERROR", 209, 216, 212, 218, 45, "06", kWhite, "1.000", "2.08", "2.079/L", kLive, kWhite},
    {"STOPPED", 209, 204, 213, 214, 45, "07", kWhite, "3.333", "6.93", "2.079/L", kLive,
     kButtonFace},
    {"PREPAY STOPPED", 209, 204, 217, 237, 45, "08", kRed, "5.000", "10.40", "2.079/L", kLive,
     kButtonFace},
    {"PREPAY RESERVED", 209, 216, 217, 208, 45, "09", kWhite, "", "", "2.079/L", kLive,
     kButtonFace},
    {"PREPAY", 209, 216, 210, 207, 57, "10", kWhite, "9.876", "20.53", "2.079/L", 0xC0C0C0,
     kButtonFace},
    {"PREAUTH RESERVED", 209, 216, 217, 206, 45, "11", kWhite, "", "", "2.079/L", kLive, kWhite},
    {"PREAUTH", 209, 204, 217, 205, 57, "12", kWhite, "0.512", "1.06", "2.079/L", kRed,
     kButtonFace},
};

}  // namespace

std::vector<SheetPicture> MockFaces(const ArtSet& set) {
    std::vector<SheetPicture> faces;
    for (const FaceCase& f : kFaces) {
        Canvas c(f.label, 80, 80, f.background);
        c.Blit(set, f.body, 0, 0);
        c.Text(6, 3, f.number, 3, f.numberColour);
        // Stand-ins for the bold readouts: right-aligned in their rectangles, 10 pixels high.
        c.TextRight(55, 21, f.volume, 2, f.readoutColour);
        c.TextRight(55, 33, f.value, 2, f.readoutColour);
        c.TextRight(55, 45, f.price, 2, f.readoutColour);
        c.Blit(set, f.nozzle, 62, 11);
        c.Blit(set, f.stack, 29, 0);
        c.Text(32 - PixelTextWidth("ULP 95", 1) / 2, 64, "ULP 95", 1, kWhite);
        if (f.icon != 0) {
            c.Blit(set, f.icon, 9, f.iconTop);
        }
        faces.push_back(std::move(c.picture));
    }
    return faces;
}

SheetPicture MockPopup(const ArtSet& set) {
    Canvas c("POPUP 220 WITH ITS ITEMS", 281, 265, kButtonFace);
    c.Blit(set, 221, 0, 0);
    // Headers (items 209, 210, 211) as the dialog places them, and the list (item 201).
    const struct {
        int x, y, w, h;
        const char* text;
    } headers[] = {
        {6, 5, 120, 18, "PUMP 3"}, {126, 5, 62, 18, "VOLUME"}, {188, 5, 66, 18, "VALUE"}};
    for (const auto& h : headers) {
        for (int y = h.y; y < h.y + h.h; ++y) {
            for (int x = h.x; x < h.x + h.w; ++x) {
                bool edge = y == h.y || x == h.x || y == h.y + h.h - 1 || x == h.x + h.w - 1;
                c.picture.pixels[static_cast<std::size_t>(y) * 281 + static_cast<std::size_t>(x)] =
                    edge ? 0x808080 : kButtonFace;
            }
        }
        c.Text(h.x + (h.w - PixelTextWidth(h.text, 1)) / 2, h.y + 7, h.text, 1, 0x000000);
    }
    for (int y = 29; y < 199; ++y) {
        for (int x = 9; x < 272; ++x) {
            // The list has no border of its own; its scroll bar is the right 17 pixels.
            c.picture.pixels[static_cast<std::size_t>(y) * 281 + static_cast<std::size_t>(x)] =
                x >= 255 ? 0xE0E0E0 : 0xFFFFFF;
        }
    }
    const int rowIcons[] = {234, 233, 236, 235};
    const char* rows[] = {"01", "02", "03", "04"};
    for (int i = 0; i < 4; ++i) {
        const int top = 29 + i * 34;
        c.Blit(set, rowIcons[i], 9, top);
        c.Text(9 + 26, top + 12, rows[i], 2, 0x000000);
        c.TextRight(9 + 178, top + 12, "12.345", 2, 0x000000);
        c.TextRight(254, top + 12, "$25.67", 2, i == 3 ? 0xC00000 : 0x000000);
    }
    const int buttons[] = {222, 227, 232, 229};
    for (int i = 0; i < 4; ++i) {
        c.Blit(set, buttons[i], 8 + 68 * i, 208);
    }
    return std::move(c.picture);
}

}  // namespace art
