// tolvan-face --sheet: every bitmap resource of the loaded Tolvan.OCX, read back through
// LoadBitmapW, on a contact sheet at 4x with its identifier.
#pragma once

#include <string>

#include "platform/user.h"

namespace tolvan_face {

// Writes the sheet of `module`'s bitmaps (toolbox bitmap 1 and 201 to 238); false with `error`
// set when a bitmap is missing or the file cannot be written.
bool WriteResourceSheet(HMODULE module, const std::string& path, std::string* error);

}  // namespace tolvan_face
