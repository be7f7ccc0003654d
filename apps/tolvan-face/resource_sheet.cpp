// The resource contact sheet, drawn by the contact-sheet renderer of tolvan-art.
#include "apps/tolvan-face/resource_sheet.h"

#include "apps/tolvan-art/contact_sheet.h"
#include "platform/gdi.h"
#include "platform/resources.h"

namespace tolvan_face {

namespace {

// The module's bitmaps: the toolbox picture, then the face and popup bitmaps by identifier.
constexpr UINT kBitmaps[] = {1,   201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212,
                             213, 214, 215, 216, 217, 218, 219, 221, 222, 223, 224, 225, 226,
                             227, 228, 229, 230, 231, 232, 233, 234, 235, 236, 237, 238};

bool ReadBitmap(HMODULE module, UINT id, art::SheetPicture* picture) {
    HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(id));
    if (bitmap == nullptr)
        return false;
    const platform::PixelSurface* surface = BitmapSurface(bitmap);
    const bool ok = surface != nullptr;
    if (ok) {
        BITMAP info{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(bitmap), sizeof info, &info);
        picture->label = std::to_string(id) + " " + std::to_string(info.bmWidth) + "x" +
                         std::to_string(info.bmHeight);
        picture->width = surface->width;
        picture->height = surface->height;
        picture->pixels = surface->pixels;
    }
    DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
    return ok;
}

}  // namespace

bool WriteResourceSheet(HMODULE module, const std::string& path, std::string* error) {
    art::SheetSection faces{"tolvan.ocx bitmaps at 4x", {}, {}};
    faces.options.scale = 4;
    faces.options.maxWidth = 1800;
    for (UINT id : kBitmaps) {
        art::SheetPicture picture;
        if (!ReadBitmap(module, id, &picture)) {
            *error = "bitmap " + std::to_string(id) + " is missing from Tolvan.OCX";
            return false;
        }
        faces.pictures.push_back(std::move(picture));
    }
    // Drawn by tolvan-art's sheet, written as every picture of tolvan-face is (WritePng).
    platform::PixelSurface sheet;
    sheet.pixels = art::RenderContactSheet({faces}, sheet.width, sheet.height);
    std::string failure;
    if (!WritePng(sheet, path.c_str(), &failure)) {
        *error = "cannot write " + path + ": " + failure;
        return false;
    }
    return true;
}

}  // namespace tolvan_face
