// Reading a PNG file into a pixel surface (0x00RRGGBB, rows top-down) through libpng: any
// bit depth and colour type, palette and grey expanded; a picture with transparency is laid
// over black (captures are opaque, so their pixels stay as they are).
#pragma once

#include <string>

#include "platform/pixel_surface.h"

namespace face_compare {

// Reads `path` into `picture`. On failure returns false, leaves `picture` untouched and sets
// `failure` to a sentence for the user ("not a PNG picture", one wider or higher than 4096,
// the system's error text).
bool ReadPng(const std::string& path, platform::PixelSurface* picture, std::string* failure);

}  // namespace face_compare
