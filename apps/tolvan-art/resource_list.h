// The pictures the module carries, as the resource script names them: "<id> BITMAP
// "<file>.bmp"" and "<id> ICON "<file>.ico"" lines. tolvan-art builds exactly these files, so
// the script stays the one list of the module's pictures.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace art {

struct PictureResource {
    enum class Kind { Bitmap, Icon };
    Kind kind = Kind::Bitmap;
    int id = 0;
    std::string file;  // the file name the script gives, e.g. "face_pump.bmp"
    std::string stem;  // the file name without its extension, e.g. "face_pump"
};

// The BITMAP and ICON lines of a resource script, in script order. Other lines are skipped.
// A BITMAP or ICON line that does not read "<number> BITMAP|ICON "<name>.bmp|.ico"" sets
// `error` ("<fileName>:<line>: ...") and returns what was read before it.
std::vector<PictureResource> ReadPictureResources(std::string_view script,
                                                  const std::string& fileName, std::string& error);

}  // namespace art
