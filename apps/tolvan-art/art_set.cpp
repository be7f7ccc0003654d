// Loading, encoding and writing of the picture set, and its review sheet.
#include "apps/tolvan-art/art_set.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "apps/tolvan-art/dib_writer.h"
#include "apps/tolvan-art/face_mock.h"

namespace art {
namespace {

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::optional<PixelMap> LoadMap(const std::string& path, const Palette& palette,
                                std::vector<std::string>& errors) {
    std::string text, error;
    if (!ReadTextFile(path, text, error)) {
        errors.push_back(error);
        return std::nullopt;
    }
    std::optional<PixelMap> map = ParsePixelMap(text, path, palette, error);
    if (!map) {
        errors.push_back(error);
    }
    return map;
}

SheetPicture PictureOf(const std::string& label, const PixelMap& map, const Palette& palette) {
    return {label, map.width, map.height, MapPixels(map, palette), kKeyRgb};
}

}  // namespace

const BuiltPicture* ArtSet::Find(int id, PictureResource::Kind kind) const {
    for (const BuiltPicture& p : pictures) {
        if (p.resource.id == id && p.resource.kind == kind) {
            return &p;
        }
    }
    return nullptr;
}

ArtSet LoadArtSet(const std::string& scriptPath, const std::string& artFolder,
                  std::vector<std::string>& errors) {
    ArtSet set;
    std::string text, error;
    const std::string palettePath = artFolder + "/palette.txt";
    if (!ReadTextFile(palettePath, text, error)) {
        errors.push_back(error);
        return set;
    }
    std::optional<Palette> palette = ParsePalette(text, palettePath, error);
    if (!palette) {
        errors.push_back(error);
        return set;
    }
    set.palette = *palette;
    if (!ReadTextFile(scriptPath, text, error)) {
        errors.push_back(error);
        return set;
    }
    std::vector<PictureResource> resources = ReadPictureResources(text, scriptPath, error);
    if (!error.empty()) {
        errors.push_back(error);
    }
    for (const PictureResource& resource : resources) {
        BuiltPicture picture{resource, {}, {}};
        if (resource.kind == PictureResource::Kind::Bitmap) {
            std::optional<PixelMap> map =
                LoadMap(artFolder + "/" + resource.stem + ".txt", set.palette, errors);
            if (!map) {
                continue;
            }
            picture.maps.push_back(*map);
            picture.bytes = EncodeBitmapFile(*map, set.palette);
        } else {
            for (int size : {32, 16}) {
                const std::string path =
                    artFolder + "/" + resource.stem + "_" + std::to_string(size) + ".txt";
                if (!FileExists(path)) {
                    continue;
                }
                std::optional<PixelMap> map = LoadMap(path, set.palette, errors);
                if (map && (map->width != size || map->height != size)) {
                    errors.push_back(path + ": an icon image of " + std::to_string(size) +
                                     " must be " + std::to_string(size) + " by " +
                                     std::to_string(size));
                } else if (map) {
                    picture.maps.push_back(*map);
                }
            }
            if (picture.maps.empty()) {
                errors.push_back(artFolder + "/" + resource.stem + "_32.txt: icon " +
                                 std::to_string(resource.id) + " has no image");
                continue;
            }
            picture.bytes = EncodeIconFile(picture.maps, set.palette);
        }
        set.pictures.push_back(std::move(picture));
    }
    return set;
}

bool WriteArtFiles(const ArtSet& set, const std::string& folder, std::string& error) {
    for (const BuiltPicture& picture : set.pictures) {
        const std::string path = folder + "/" + picture.resource.file;
        const std::string partial = path + ".partial";
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(picture.bytes.data()),
                  static_cast<std::streamsize>(picture.bytes.size()));
        out.close();
        if (!out || std::rename(partial.c_str(), path.c_str()) != 0) {
            error = path + ": cannot be written - " + std::strerror(errno);
            std::remove(partial.c_str());
            return false;
        }
    }
    return true;
}

std::vector<std::uint32_t> MapPixels(const PixelMap& map, const Palette& palette) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(map.indices.size());
    for (std::uint8_t index : map.indices) {
        pixels.push_back(palette.rgb[index]);
    }
    return pixels;
}

std::vector<SheetSection> ArtSheet(const ArtSet& set) {
    SheetSection face{"FACE BITMAPS (4X)", {}, {}};
    SheetSection popup{"POPUP BITMAPS (4X)", {}, {}};
    SheetSection module{"TOOLBOX BITMAP AND ICON (1:1 AND 4X)", {}, {}};
    module.options.alsoActualSize = true;
    popup.options.maxWidth = 1500;
    for (const BuiltPicture& p : set.pictures) {
        const PixelMap& first = p.maps.front();
        if (p.resource.kind == PictureResource::Kind::Icon) {
            for (const PixelMap& map : p.maps) {
                module.pictures.push_back(PictureOf(
                    "ICON " + std::to_string(p.resource.id) + " " + std::to_string(map.width), map,
                    set.palette));
            }
            continue;
        }
        std::string label = std::to_string(p.resource.id) + " " + p.resource.stem;
        if (p.resource.id < 200) {
            module.pictures.push_back(PictureOf("BITMAP " + label, first, set.palette));
        } else if (p.resource.id >= 221 && p.resource.id <= 236) {
            popup.pictures.push_back(PictureOf(label, first, set.palette));
        } else {
            face.pictures.push_back(PictureOf(label, first, set.palette));
        }
    }
    SheetSection faces{"MOCK FACES AT THE FACE LAYOUT (1:1 AND 4X)", {}, MockFaces(set)};
    faces.options.alsoActualSize = true;
    SheetSection dialog{"MOCK POPUP (1:1 AND 2X)", {}, {MockPopup(set)}};
    dialog.options.alsoActualSize = true;
    dialog.options.scale = 2;
    return {faces, face, popup, module, dialog};
}

}  // namespace art
